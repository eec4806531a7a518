// The two hidden panels of FCOMM: Panel2 (recall: start time and interval) and
// Panel3 (limits and extremes). Nothing in the window shows them; their handlers
// run all the same when code shows them.
#include "ui/BrevastF.h"

#include "ui/WindowEventHook.h"
#include "ui/WindowGlyphLabel.h"
#include "ui/WindowWidgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace valdrin {

namespace {
QFrame* loweredPanel(QWidget* parent, const char* name, QRect place)
{
    auto* panel = placed(new QFrame(parent), name, place.x(), place.y(), place.width(), place.height());
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    paintColours(panel, kSilver, Qt::black);
    panel->hide();
    return panel;
}

QLabel* caption(QWidget* parent, const char* name, const char* text, int left, int top, QFont font = QFont())
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    if (font != QFont())
        label->setFont(font);
    label->adjustSize();
    sizeWhenShown(label);
    return placed(label, name, left, top, label->width(), label->height(), label->text());
}
} // namespace

// A change of a recall edit's text runs the interval edit's change handler, as the
// edits share it; so does a text that a handler set.
void TFCOMM::recallTextsChanged(const RecallControls& before)
{
    const RecallControls& now = core_.C.recall;
    if (before.TimeH != now.TimeH || before.TimeM != now.TimeM || before.TimeS != now.TimeS
        || before.TimeInt != now.TimeInt)
        core_.RecordSITimeChange();
}

void TFCOMM::buildPanel2()
{
    Panel2_ = loweredPanel(client_, "Panel2", {2, 199, 334, 25});
    QWidget* p = Panel2_;
    RecallCheck_ = placed(new QCheckBox(QStringLiteral("RecallData"), p), "RecallCheck", 2, 4, 88, 17,
                          QStringLiteral("RecallData"));
    RecallCheck_->setFont(pixelFont({Face::Arial, 12, true, true}));
    useClassicStyle(RecallCheck_);
    RecallCheck_->setToolTip(QStringLiteral("Repeage Record"));
    QObject::connect(RecallCheck_, &QCheckBox::clicked, this, [this](bool checked) {
        // The core runs the interval edit's change itself when the click sets the edits.
        handle([this, checked] {
            core_.C.recall.RecallCheck = checked;
            core_.RecallCheckClick();
        });
    });
    new EventHook(RecallCheck_, [this](QEvent* event) {
        if (event->type() == QEvent::FocusOut)
            handle([this] { core_.RecallCheckExit(); });
        return false;
    });

    caption(p, "Label2", "StartTime:", 92, 6);
    TimeH_ = digitEdit(p, "TimeH", "23", {150, 2, 20, 21}, &FcommCore::RecordSITimeKeyPress);
    caption(p, "Label3", ":", 172, 6);
    TimeM_ = digitEdit(p, "TimeM", "59", {177, 2, 20, 21}, &FcommCore::RecordSITimeKeyPress);
    caption(p, "Label4", ":", 199, 6);
    TimeS_ = digitEdit(p, "TimeS", "59", {204, 2, 20, 21}, &FcommCore::RecordSITimeKeyPress);
    caption(p, "Label1", "Interval", 232, 6);
    TimeInt_ = digitEdit(p, "TimeInt", "1", {278, 2, 27, 21}, &FcommCore::RecordSITimeKeyPress);
    caption(p, "Label5", "'S", 308, 6);

    const auto wire = [this](QLineEdit* edit, std::string RecallControls::*field, bool checksOnKeyUp) {
        QObject::connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
            handle([this, field, text] {
                const RecallControls before = core_.C.recall;
                core_.C.recall.*field = text.toStdString();
                recallTextsChanged(before);
            });
        });
        if (!checksOnKeyUp)
            return;
        new EventHook(edit, [this](QEvent* event) {
            if (event->type() == QEvent::KeyRelease)
                handle([this] { core_.TimeHKeyUp(); });
            return false;
        });
    };
    wire(TimeH_, &RecallControls::TimeH, true);
    wire(TimeM_, &RecallControls::TimeM, true);
    wire(TimeS_, &RecallControls::TimeS, true);
    wire(TimeInt_, &RecallControls::TimeInt, false);
}

void TFCOMM::buildPanel3()
{
    Panel3_ = loweredPanel(client_, "Panel3", {9, 469, 334, 47});
    QWidget* p = Panel3_;
    const LimitControls& limits = core_.C.limits;

    SetMaxB_ = placed(new QCheckBox(QStringLiteral("SetMax:"), p), "SetMaxB", 4, 3, 66, 17, QStringLiteral("SetMax:"));
    Setmax_ = digitEdit(p, "Setmax", limits.Setmax.c_str(), {72, 1, 52, 21}, &FcommCore::SetmaxKeyPress);
    SetMinB_ = placed(new QCheckBox(QStringLiteral("SetMin: "), p), "SetMinB", 4, 25, 66, 17, QStringLiteral("SetMin: "));
    SetMin_ = digitEdit(p, "SetMin", limits.SetMin.c_str(), {72, 23, 52, 21}, &FcommCore::SetmaxKeyPress);
    useClassicStyle(SetMaxB_);
    useClassicStyle(SetMinB_);

    auto glyphLabel = [p](const char* name, const std::string& text, bool bold, int left, int top) {
        auto* label = new GlyphLabel(GlyphFont::KelvoA2, 14, bold, p);
        label->setObjectName(QString::fromLatin1(name));
        label->move(left, top);
        label->setCaption(text);
        return label;
    };
    glyphLabel("Label12", "MAX: ", true, 134, 4);
    glyphLabel("Label11", "MIN: ", true, 134, 26);
    MaxText_ = caption(p, "MaxText", limits.MaxText.c_str(), 184, 3, pixelFont({Face::Arial, 13, false, true}));
    MinText_ = caption(p, "MinText", limits.MinText.c_str(), 184, 25, pixelFont({Face::Arial, 13, false, true}));
    MaxTextU_ = glyphLabel("MaxTextU", limits.MaxTextU, false, 250, 4);
    MinTextU_ = glyphLabel("MinTextU", limits.MinTextU, false, 250, 26);

    const auto wireLimit = [this](QLineEdit* edit, QCheckBox* box, std::string LimitControls::*text,
                                  bool LimitControls::*armed, void (FcommCore::*reload)()) {
        QObject::connect(edit, &QLineEdit::textEdited, this, [this, text, reload](const QString& value) {
            handle([this, text, reload, value] {
                core_.C.limits.*text = value.toStdString();
                (core_.*reload)();
            });
        });
        QObject::connect(box, &QCheckBox::clicked, this, [this, armed, reload](bool checked) {
            handle([this, armed, reload, checked] {
                core_.C.limits.*armed = checked;
                (core_.*reload)();
            });
        });
    };
    wireLimit(Setmax_, SetMaxB_, &LimitControls::Setmax, &LimitControls::SetMaxB, &FcommCore::SetmaxExit);
    wireLimit(SetMin_, SetMinB_, &LimitControls::SetMin, &LimitControls::SetMinB, &FcommCore::SetMinExit);
}

} // namespace valdrin
