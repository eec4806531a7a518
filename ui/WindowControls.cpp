// The top-level controls of FCOMM's client area, in the form's order (later ones lie
// over earlier ones), each with its design settings and its handler.
#include "ui/BrevastF.h"

#include "base/IntegerValue.h"
#include "ui/AlarmPanel.h"
#include "ui/BarGraph.h"
#include "ui/ChartView.h"
#include "ui/ConnectionPicture.h"
#include "ui/DialView.h"
#include "ui/GridScrollBar.h"
#include "ui/LcdPanel.h"
#include "ui/ReadingGridModel.h"
#include "ui/UnitColumnDelegate.h"
#include "ui/WindowEventHook.h"
#include "ui/WindowGridView.h"
#include "ui/WindowIcons.h"
#include "ui/WindowWidgets.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

namespace valdrin {

namespace {
const QColor kPanelBlue(0, 128, 255);

QToolButton* toolButton(QWidget* parent, const char* name, ToolGlyph glyph, const char* hint, QRect place)
{
    auto* button = placed(new QToolButton(parent), name, place.x(), place.y(), place.width(), place.height(),
                          QString::fromLatin1(hint));
    button->setIcon(toolIcon(glyph));
    button->setToolTip(QString::fromLatin1(hint));
    button->setAutoRaise(true);
    return button;
}

QPushButton* pushButton(QWidget* parent, const char* name, const char* caption, QRect place)
{
    return placed(new QPushButton(QString::fromLatin1(caption), parent), name, place.x(), place.y(), place.width(),
                  place.height(), QString::fromLatin1(caption));
}

QLabel* hiddenLabel(QWidget* parent, const char* name, const char* caption, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setFont(pixelFont({Face::Arial, 10, false, true}));
    label->adjustSize();
    placed(label, name, left, top, label->width(), label->height(), label->text());
    label->hide();
    sizeWhenShown(label);
    return label;
}

// The port panels and the three off-screen panels: bevelled panels used as buttons.
PanelButton* panelButton(QWidget* parent, const char* name, const char* caption, QRect place, FontChoice font,
                         const QColor& background, const QColor& text)
{
    auto* panel = placed(new PanelButton(QString::fromLatin1(caption), parent), name, place.x(), place.y(),
                         place.width(), place.height(), QString::fromLatin1(caption));
    panel->setFont(pixelFont(font));
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    paintColours(panel, background, text);
    return panel;
}

// What the interval edit may hold: a whole number, or "", "+" and "-" (no interval).
bool intervalText(const std::string& text)
{
    int32_t value = 0;
    return text.empty() || text == "+" || text == "-" || tryIntegerValue(text, value);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption, QRect place, bool checked)
{
    auto* box = placed(new QCheckBox(QString::fromLatin1(caption), parent), name, place.x(), place.y(),
                       place.width(), place.height(), QString::fromLatin1(caption));
    box->setChecked(checked);
    // The captions were laid out for the classic box: "Sampling Interval" ends just
    // before the interval edit that sits in its gap.
    useClassicStyle(box);
    return box;
}
} // namespace

void TFCOMM::buildControls()
{
    QWidget* w = client_;
    USBtxt_ = hiddenLabel(w, "USBtxt", "6001", 334, 496);

    RecordNew_ = toolButton(w, "RecordNew", ToolGlyph::BlankPage, "Close Data", {246, 178, 23, 21});
    QObject::connect(RecordNew_, &QToolButton::clicked, this, [this] { handle([this] { core_.RecordNewClick(); }); });
    Print_ = toolButton(w, "Print", ToolGlyph::Printer, "Print", {110, 420, 33, 25});
    Print_->hide();
    QObject::connect(Print_, &QToolButton::clicked, this, [this] { PrintClick(); });
    OpenDataFiles_ = toolButton(w, "OpenDataFiles", ToolGlyph::OpenFolder, "Open old data files", {268, 178, 23, 21});
    QObject::connect(OpenDataFiles_, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    saveas_ = toolButton(w, "saveas", ToolGlyph::Floppy, "Save data files", {290, 178, 23, 21});
    QObject::connect(saveas_, &QToolButton::clicked, this, [this] { saveasClick(); });
    BtPrint_ = toolButton(w, "BtPrint", ToolGlyph::Printer, "Print", {312, 178, 22, 21});
    QObject::connect(BtPrint_, &QToolButton::clicked, this, [this] { BtPrintClick(); });

    ReadBtn_ = pushButton(w, "ReadBtn", "Read", {622, 316, 81, 22});
    ReadBtn_->setCheckable(true);
    QObject::connect(ReadBtn_, &QPushButton::clicked, this, [this] { handle([this] { conn_->ClickReadBtn(); }); });
    ClearBtn_ = pushButton(w, "ClearBtn", "Clear", {533, 245, 81, 21});
    QObject::connect(ClearBtn_, &QPushButton::clicked, this, [this] { handle([this] { conn_->ClearBtnClick(); }); });
    InfoBtn_ = pushButton(w, "InfoBtn", "Info", {766, 241, 57, 22});
    QObject::connect(InfoBtn_, &QPushButton::clicked, this, [this] { handle([this] { conn_->InfoBtnClick(); }); });
    USBCon_ = pushButton(w, "USBCon", "USB Connect", {168, 2, 94, 25});
    USBCon_->setCheckable(true);
    USBCon_->setFont(pixelFont({Face::Arial, 13, true}));
    USBCon_->setToolTip(QStringLiteral("USB Connect"));
    QObject::connect(USBCon_, &QPushButton::clicked, this, [this] { handle([this] { conn_->ClickUSBCon(); }); });
    COMCon_ = pushButton(w, "COMCon", "COM Connect", {65, 2, 94, 25});
    COMCon_->setCheckable(true);
    COMCon_->setFont(pixelFont({Face::Arial, 13, true}));
    QObject::connect(COMCon_, &QPushButton::clicked, this, [this] { handle([this] { conn_->ClickCOMCon(); }); });
    USBtxt1_ = hiddenLabel(w, "USBtxt1", "6001", 334, 512);

    buildPanel2();

    // The report layout's panel: the report is laid out by the report preview.
    ReportPanel_ = placed(new QFrame(w), "", 30, 581, 825, 209);
    ReportPanel_->hide();

    RepeatSet_ = checkBox(w, "RepeatSet", "Repeat", {1, 178, 54, 20}, true);
    RepeatSet_->setFont(pixelFont({Face::Arial, 11}));
    paintColours(RepeatSet_, kGrey, Qt::white);
    RepeatSet_->setToolTip(QStringLiteral("Repeage Record"));
    QObject::connect(RepeatSet_, &QCheckBox::clicked, this, [this](bool checked) {
        handle([this, checked] {
            core_.C.recording.RepeatSet = checked;
            core_.btFillClick();
        });
    });

    buildViews();
    buildPanel3();

    PBar2_ = placed(new BarGraph(w), "PBar2", 0, 157, 334, 17);
    PBar2_->setRange(0, core_.Lcd.PBar2Max);
    PBar2_->setValue(core_.Lcd.PBar2Position);
    PBar2_->setTextVisible(false);
    // The classic bar of blocks: the look of the meter programs of its time, and
    // a fraction of the cost of the desktop style's shaded bar at every frame.
    useClassicStyle(PBar2_);
    paintColours(PBar2_, kGrey);  // opaque: its paints need none of the window's background

    buildDial();

    const FontChoice portFont{Face::Arial, 16, true};
    auto portPanel = [&](int index) {
        static const char* const names[] = {"BtCOM1", "BtCOM2", "BtCOM3", "BtCOM4"};
        static const char* const captions[] = {"COM 1", "COM 2", "COM 3", "COM 4"};
        PanelButton* panel = panelButton(w, names[index], captions[index], {3, 2, 61, 24}, portFont, kSilver, Qt::black);
        // Each panel is wired one port ahead: a click steps to the next port.
        panel->onClick = [this, index] { handle([this, index] { conn_->BtCOMClick(index); }); };
        panel->setVisible(index == 0);
        BtCOM_[static_cast<std::size_t>(index)] = panel;
    };
    portPanel(1);
    BTCon_ = panelButton(w, "BTCon", "Connect", {494, 535, 105, 26}, {Face::Arial, 19, true, true}, kPanelBlue,
                         Qt::yellow);
    BTCon_->onClick = [this] { handle([this] { conn_->BTCon1Click(); }); };
    BtDiscon_ = panelButton(w, "BtDiscon", "Disconnect", {382, 535, 105, 26}, {Face::Arial, 16, true, true},
                            kPanelBlue, Qt::yellow);
    BtDiscon_->onClick = [this] { handle([this] { conn_->BtDiscon1Click(); }); };
    BtDiscon_->hide();
    BtExit_ = panelButton(w, "BtExit", "Exit", {598, 535, 65, 26}, {Face::Arial, 19, true, true}, kPanelBlue,
                          Qt::yellow);
    BtExit_->onClick = [this] { BtExit1Click(); };
    portPanel(0);
    portPanel(2);
    portPanel(3);

    RecordSI_ = checkBox(w, "RecordSI", "Sampling Interval           'S", {55, 178, 143, 20}, false);
    RecordSI_->setFont(pixelFont({Face::Arial, 11}));
    paintColours(RecordSI_, kGrey, Qt::white);
    QObject::connect(RecordSI_, &QCheckBox::clicked, this,
                     [this](bool checked) { handle([this, checked] { core_.C.recording.RecordSI = checked; }); });
    RecordSITime_ = digitEdit(w, "RecordSITime", "10", {157, 178, 27, 21}, &FcommCore::RecordSITimeKeyPress);
    QObject::connect(RecordSITime_, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle([this, text] {
            const std::string previous = core_.C.recording.RecordSITime;
            core_.C.recording.RecordSITime = text.toStdString();
            core_.RecordSITimeChange();
            // A pasted text that is no interval is reported once, here; recording
            // goes on with the last interval instead of failing on every reading.
            if (!intervalText(core_.C.recording.RecordSITime))
                core_.C.recording.RecordSITime = previous;
        });
    });

    static const char* const switchNames[] = {"IFQuellix", "IFTeskar", "IFMorvane", "IFBrevast", "IFDornel",
                                              "IFOlvira",  "IFPendry", "IFSaltorn", "IFOtherT"};
    static const char* const switchCaptions[] = {"Quellix", "Teskar", "Morvane", "Brevast", "Dornel",
                                                 "Olvira",  "Pendry", "Saltorn", "IFOtherT"};
    const VariantSwitches& s = core_.C.switches;
    const bool switchStates[] = {s.IFQuellix, s.IFTeskar, s.IFMorvane, s.IFBrevast, s.IFDornel,
                                 s.IFOlvira,  s.IFPendry, s.IFSaltorn, s.IFOtherT};
    for (int i = 0; i < 9; ++i) {
        QCheckBox* box = checkBox(w, switchNames[i], switchCaptions[i], {36 + 109 * (i % 3), 493 + 24 * (i / 3), 97, 17},
                                  switchStates[i]);
        box->hide();
        variantSwitches_[static_cast<std::size_t>(i)] = box;
    }

    Memo1_ = placed(new QPlainTextEdit(QStringLiteral("Memo1"), w), "Memo1", 366, 500, 65, 26);
    Memo1_->hide();

    buildChart();

    SetFeature_ = pushButton(w, "SetFeature", "SetFeature", {441, 505, 81, 21});
    QObject::connect(SetFeature_, &QPushButton::clicked, this, [this] { handle([this] { conn_->SetFeatureClick(); }); });
    DevListBox_ = placed(new QListWidget(w), "DevListBox", 766, 327, 5, 25);
    QObject::connect(DevListBox_, &QListWidget::currentRowChanged, this, [this](int row) {
        // The user's choice of a line; the mirror blocks this signal when it selects.
        conn_->C.DevListBoxSelected = row;
    });
    HistoryListBox_ = placed(new QListWidget(w), "HistoryListBox", 766, 29, 5, 23);

    BitBtn1_ = pushButton(w, "BitBtn1", "EXIT", {651, 2, 57, 25});
    BitBtn1_->setFont(pixelFont({Face::Arial, 14, true, true}));
    QObject::connect(BitBtn1_, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    RecallDataTest_ = pushButton(w, "RecallDataTest", "RecallData", {510, 5, 75, 17});
    RecallDataTest_->hide();  // RecallDataTestClick has no role
}

// DBGrid1 and Panel1 lie between the recall panel and the limits panel in the form.
void TFCOMM::buildViews()
{
    QWidget* w = client_;
    DBGrid1_ = placed(new ReadingGridView(w), "DBGrid1", 1, 200, 334, 281);
    gridModel_ = new ReadingGridModel(core_.cds1, core_.LongTimeFormat, DBGrid1_);
    DBGrid1_->setColumnDelegate(ReadingGridModel::UnitColumn,
                                new UnitColumnDelegate(ReadingGridModel::UnitColumn, DBGrid1_));
    DBGrid1_->setModel(gridModel_);
    const auto& widths = ReadingGridModel::columnWidths();
    for (int c = 0; c < ReadingGridModel::ColumnCount; ++c)
        DBGrid1_->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    DBGrid1_->setFont(pixelFont({Face::Arial, 12}));
    DBGrid1_->horizontalHeader()->setFont(pixelFont({Face::MsSansSerif, 11}));
    paintColours(DBGrid1_, kSilver, Qt::black);
    // The grid's scroll bar moves with every new row: classic too (see PBar2).
    DBGrid1_->setVerticalScrollBar(new GridScrollBar);
    useClassicStyle(DBGrid1_->verticalScrollBar());

    auto* lcd = new LcdPanel(w);
    placed(lcd, "Panel1", 0, 28, LcdPanel::kWidth, LcdPanel::kHeight);
    lcd->showState(core_.Lcd);
    Panel1_ = lcd;
}

void TFCOMM::buildDial()
{
    auto* dial = new DialView(core_, client_);
    KD_ = dial;
    viewRefreshers_.push_back([dial] { dial->refresh(); });
    // The link pictures and the alarm lie on the dial, over its picture.
    auto* ok = new ConnectionPicture(true, KD_);
    ok->setGeometry(5, 5, ConnectionPicture::kWidth, ConnectionPicture::kHeight);
    auto* notOk = new ConnectionPicture(false, KD_);
    notOk->setGeometry(5, 5, ConnectionPicture::kWidth, ConnectionPicture::kHeight);
    auto* alarm = new AlarmPanel(KD_);
    alarm->setObjectName(QStringLiteral("oltext"));
    alarm->setGeometry(109, 72, AlarmPanel::kWidth, AlarmPanel::kHeight);
    CONok_ = ok;
    CONokN_ = notOk;
    oltext_ = alarm;
    for (QWidget* child : {CONok_, CONokN_, oltext_})
        child->raise();
    CONok_->setVisible(core_.Lcd.CONok);
    CONokN_->setVisible(core_.Lcd.CONokN);
    oltext_->setVisible(core_.Lcd.oltext);
}

void TFCOMM::buildChart()
{
    auto* chart = new ChartView(core_, edges_.messages, edges_.dialogs, client_);
    Chtshow_ = chart;
    viewRefreshers_.push_back([chart] { chart->refresh(); });
}

} // namespace valdrin
