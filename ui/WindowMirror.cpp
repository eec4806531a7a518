// The mirror: the core's state shown in the widgets. Each part's revision is
// compared with the one shown last and only a changed part touches its widgets;
// signals are blocked while the mirror sets them, since the core already ran what
// the change means.
// The cost does not depend on the number of rows: the grid's model announces
// appended rows in one batch and the views read what they draw on demand.
#include "ui/BrevastF.h"

#include "link/SerialPortNames.h"
#include "ui/LcdPanel.h"
#include "ui/ReadingGridModel.h"
#include "ui/WindowEventHook.h"
#include "ui/WindowGridView.h"
#include "ui/WindowGlyphLabel.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace valdrin {

namespace {
QString qt(const std::string& text) { return QString::fromStdString(text); }

void setChecked(QAbstractButton* button, bool checked)
{
    if (button->isChecked() == checked)
        return;
    const QSignalBlocker block(button);
    button->setChecked(checked);
}

void setChecked(QAction* action, bool checked)
{
    const QSignalBlocker block(action);
    action->setChecked(checked);
}

void setText(QLineEdit* edit, const std::string& text)
{
    const QString value = qt(text);
    if (edit->text() == value)
        return;
    const QSignalBlocker block(edit);
    edit->setText(value);
}

// A label sizes itself to its caption; a hidden one (the frame labels change with
// every frame) only keeps the text until it is shown.
void setCaption(QLabel* label, const std::string& text)
{
    label->setText(qt(text));
    if (label->isVisibleTo(label->window()))
        label->adjustSize();
}

// The number of newest lines a view that was not cleared has to append.
std::size_t freshLines(const BoundedLines& lines, const ShownLines& shown)
{
    return static_cast<std::size_t>(std::min<unsigned long long>(lines.added() - shown.added, lines.size()));
}

void remember(const BoundedLines& lines, ShownLines& shown)
{
    shown.added = lines.added();
    shown.clears = lines.clears();
}

// A list box follows its lines: new ones are appended and those the bound dropped
// are removed from the top; a list that was cleared is rebuilt.
void followLines(QListWidget* list, const BoundedLines& lines, ShownLines& shown)
{
    const QSignalBlocker block(list);
    if (lines.clears() != shown.clears) {
        list->clear();
        for (const std::string& line : lines)
            list->addItem(qt(line));
    } else {
        for (std::size_t i = lines.size() - freshLines(lines, shown); i < lines.size(); ++i)
            list->addItem(qt(lines[i]));
        while (static_cast<std::size_t>(list->count()) > lines.size())
            delete list->takeItem(0);
    }
    list->setCurrentRow(static_cast<int>(lines.selected()));
    remember(lines, shown);
}

// The hidden frame log: the same, as a text that keeps its design text until the
// first line (its block limit drops the oldest lines as the bound does).
void followLines(QPlainTextEdit* memo, const BoundedLines& lines, ShownLines& shown)
{
    memo->setMaximumBlockCount(static_cast<int>(lines.bound()));
    if (shown.added == 0 || lines.clears() != shown.clears) {
        QString text;
        for (const std::string& line : lines)
            text += qt(line) + u'\n';
        text.chop(1);
        memo->setPlainText(text);
    } else {
        for (std::size_t i = lines.size() - freshLines(lines, shown); i < lines.size(); ++i)
            memo->appendPlainText(qt(lines[i]));
    }
    remember(lines, shown);
}
} // namespace

CoreStamp TFCOMM::stamp() const
{
    return {core_.Lcd.revision(),
            core_.controlsRevision(),
            conn_->revision(),
            core_.HistoryListBox.revision(),
            core_.Memo1.revision(),
            core_.cds1.generation(),
            core_.cds1.size(),
            core_.S.chart.revision(),
            core_.S.dial.faceRevision(),
            core_.S.dial.needleRevision()};
}

void TFCOMM::mirror()
{
    screenTimer_.stop();
    sinceMirror_.start();
    const CoreStamp was = shown_.stamp;
    const CoreStamp& now = shown_.stamp = stamp();
    const bool all = !shown_.valid;
    if (all || now.lcd != was.lcd)
        mirrorLcd();
    if (all || now.controls != was.controls)
        mirrorControls();
    if (all || now.connection != was.connection)
        mirrorConnection();
    if (all || now.history != was.history)
        followLines(HistoryListBox_, core_.HistoryListBox, shown_.history);
    if (now.memo != was.memo)  // the frame log keeps its design text until a line comes
        followLines(Memo1_, core_.Memo1, shown_.memo);
    mirrorViews();
    // The hidden "Fill" item keeps the mark the chart gives it.
    const bool fill = core_.S.chart.controls().FillChecked;
    if (Fill_->isChecked() != fill)
        setChecked(Fill_, fill);
    shown_.valid = true;
}

void TFCOMM::mirrorLcd()
{
    const LcdState& lcd = core_.Lcd;
    static_cast<LcdPanel*>(Panel1_)->showState(lcd);
    if (PBar2_->maximum() != lcd.PBar2Max || PBar2_->value() != lcd.PBar2Position) {
        // A progress bar repaints itself at once when its value changes; the bar
        // waits for the one paint that shows everything the mirror changed.
        PBar2_->setUpdatesEnabled(false);
        PBar2_->setMaximum(lcd.PBar2Max);
        PBar2_->setValue(lcd.PBar2Position);
        PBar2_->setUpdatesEnabled(true);
    }
    CONok_->setVisible(lcd.CONok);
    CONokN_->setVisible(lcd.CONokN);
    oltext_->setVisible(lcd.oltext);
}

// The user's own edits are in the widgets already; a handler that changed a control
// advanced the revision, and only the groups whose value differs are touched.
void TFCOMM::mirrorControls()
{
    const Controls& c = core_.C;
    const Controls& was = shown_.controlTexts;
    const bool all = !shown_.valid;
    if (all || !(c.recording == was.recording)) {
        setChecked(RepeatSet_, c.recording.RepeatSet);
        setChecked(RecordSI_, c.recording.RecordSI);
        setText(RecordSITime_, c.recording.RecordSITime);
        for (std::size_t i = 0; i < rowLimitItems_.size(); ++i)
            setChecked(rowLimitItems_[i], static_cast<std::size_t>(c.recording.checkedLimit) == i);
    }
    if (all || !(c.recall == was.recall)) {
        setChecked(RecallCheck_, c.recall.RecallCheck);
        setText(TimeH_, c.recall.TimeH);
        setText(TimeM_, c.recall.TimeM);
        setText(TimeS_, c.recall.TimeS);
        setText(TimeInt_, c.recall.TimeInt);
    }
    if (all || !(c.limits == was.limits)) {
        setText(Setmax_, c.limits.Setmax);
        setText(SetMin_, c.limits.SetMin);
        setChecked(SetMaxB_, c.limits.SetMaxB);
        setChecked(SetMinB_, c.limits.SetMinB);
        setCaption(MaxText_, c.limits.MaxText);
        setCaption(MinText_, c.limits.MinText);
        MaxTextU_->setCaption(c.limits.MaxTextU);
        MinTextU_->setCaption(c.limits.MinTextU);
    }
    if (all || c.USBtxt != was.USBtxt)
        setCaption(USBtxt_, c.USBtxt);
    if (all || c.USBtxt1 != was.USBtxt1)
        setCaption(USBtxt1_, c.USBtxt1);
    if (all || c.Caption != was.Caption)
        setWindowTitle(qt(c.Caption));
    shown_.controlTexts = c;
}

void TFCOMM::mirrorConnection()
{
    const ConnectionControls& now = conn_->C;
    setChecked(COMCon_, now.COMCon);
    setChecked(USBCon_, now.USBCon);
    setChecked(ReadBtn_, now.ReadBtn);
    BTCon_->setVisible(now.BTConVisible);
    BtDiscon_->setVisible(now.BtDisconVisible);
    for (std::size_t i = 0; i < BtCOM_.size(); ++i) {
        BtCOM_[i]->setVisible(now.BtCOMVisible[i]);
        BtCOM_[i]->setEnabled(now.BtCOMEnabled);
        // Each panel names the device its port stands for now; the shown one, the
        // device that the port in use opens.
        BtCOM_[i]->setToolTip(qt(now.BtCOMVisible[i] ? now.BtCOMHint : comPortDevice(static_cast<int>(i) + 1)));
        setChecked(COMItems_[i], now.COMChecked[i]);
    }
    ComSetup1_->setEnabled(now.ComSetup1Enabled);
    ComSetup1_->menuAction()->setEnabled(now.ComSetup1Enabled);
    setChecked(START1_, now.START1Checked);
    START1_->setEnabled(now.START1Enabled);
    setChecked(STOP1_, now.STOP1Checked);
    STOP1_->setEnabled(now.STOP1Enabled);
    const QSignalBlocker block(DevListBox_);
    bool sameDevices = static_cast<std::size_t>(DevListBox_->count()) == now.DevListBox.size();
    for (std::size_t i = 0; sameDevices && i < now.DevListBox.size(); ++i)
        sameDevices = DevListBox_->item(static_cast<int>(i))->text() == qt(now.DevListBox[i].text);
    if (!sameDevices) {
        DevListBox_->clear();
        for (const DevListLine& line : now.DevListBox)
            DevListBox_->addItem(qt(line.text));
    }
    DevListBox_->setCurrentRow(now.DevListBoxSelected);
}

void TFCOMM::mirrorViews()
{
    // Appended rows come in one batch; the newest becomes the current row, so the
    // grid follows the newest reading.
    if (gridModel_->refresh()) {
        const int rows = gridModel_->rowCount();
        if (rows > static_cast<int>(shown_.rows))
            DBGrid1_->setCurrentRow(rows - 1);
        shown_.rows = static_cast<std::size_t>(rows);
    }
    for (const auto& refresh : viewRefreshers_)
        refresh();
}

} // namespace valdrin
