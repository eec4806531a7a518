// The mirror: the core's state shown in the widgets. Each part is compared with what
// was shown last and only a changed part touches its widgets; signals are blocked
// while the mirror sets them, since the core already ran what the change means.
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

// Whether lines were cleared since a view showed shownSize of them and shownAdded
// had been added: otherwise the list is the shown one plus the fresh lines, less
// those that the bound dropped from the top.
bool clearedSince(const BoundedLines& lines, unsigned long long shownAdded, std::size_t shownSize)
{
    const unsigned long long fresh = lines.added() - shownAdded;
    return lines.size() != std::min<unsigned long long>(shownSize + fresh, lines.bound());
}

// The number of newest lines a view that is not rebuilt has to append.
std::size_t freshLines(const BoundedLines& lines, unsigned long long shownAdded)
{
    return static_cast<std::size_t>(std::min<unsigned long long>(lines.added() - shownAdded, lines.size()));
}

// A list box follows its lines: new ones are appended and those the bound dropped
// are removed from the top; a list that was cleared is rebuilt.
void followLines(QListWidget* list, const BoundedLines& lines, unsigned long long& shownAdded, std::size_t& shownSize)
{
    const QSignalBlocker block(list);
    if (clearedSince(lines, shownAdded, shownSize)) {
        list->clear();
        for (const std::string& line : lines)
            list->addItem(qt(line));
    } else {
        for (std::size_t i = lines.size() - freshLines(lines, shownAdded); i < lines.size(); ++i)
            list->addItem(qt(lines[i]));
        while (static_cast<std::size_t>(list->count()) > lines.size())
            delete list->takeItem(0);
    }
    list->setCurrentRow(static_cast<int>(lines.selected()));
    shownAdded = lines.added();
    shownSize = lines.size();
}

// The hidden frame log: the same, as a text that keeps its design text until the
// first line (its block limit drops the oldest lines as the bound does).
void followLines(QPlainTextEdit* memo, const BoundedLines& lines, unsigned long long& shownAdded,
                 std::size_t& shownSize)
{
    if (shownSize == 0 && lines.empty() && lines.added() == shownAdded)
        return;
    memo->setMaximumBlockCount(static_cast<int>(lines.bound()));
    if (shownSize == 0 || clearedSince(lines, shownAdded, shownSize)) {
        QString text;
        for (const std::string& line : lines)
            text += qt(line) + u'\n';
        text.chop(1);
        memo->setPlainText(text);
    } else {
        for (std::size_t i = lines.size() - freshLines(lines, shownAdded); i < lines.size(); ++i)
            memo->appendPlainText(qt(lines[i]));
    }
    shownAdded = lines.added();
    shownSize = lines.size();
}
} // namespace

void TFCOMM::mirror()
{
    mirrorLcd();
    mirrorRecording();
    mirrorConnection();
    mirrorLists();
    mirrorViews();
    // The hidden "Fill" item keeps the mark the chart gives it.
    const bool fill = core_.S.chart.controls().FillChecked;
    if (Fill_->isChecked() != fill)
        setChecked(Fill_, fill);
    if (!shown_.valid || shown_.caption != core_.C.Caption) {
        setWindowTitle(qt(core_.C.Caption));
        shown_.caption = core_.C.Caption;
    }
    shown_.valid = true;
}

void TFCOMM::mirrorLcd()
{
    const LcdState& lcd = core_.Lcd;
    if (shown_.valid && sameLcd(lcd, shown_.lcd))
        return;
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
    shown_.lcd = lcd;
}

void TFCOMM::mirrorRecording()
{
    const Controls& c = core_.C;
    if (!shown_.valid || !sameRecording(c.recording, shown_.recording)) {
        setChecked(RepeatSet_, c.recording.RepeatSet);
        setChecked(RecordSI_, c.recording.RecordSI);
        setText(RecordSITime_, c.recording.RecordSITime);
        for (std::size_t i = 0; i < rowLimitItems_.size(); ++i)
            setChecked(rowLimitItems_[i], static_cast<std::size_t>(c.recording.checkedLimit) == i);
        shown_.recording = c.recording;
    }
    if (!shown_.valid || !sameRecall(c.recall, shown_.recall)) {
        setChecked(RecallCheck_, c.recall.RecallCheck);
        setText(TimeH_, c.recall.TimeH);
        setText(TimeM_, c.recall.TimeM);
        setText(TimeS_, c.recall.TimeS);
        setText(TimeInt_, c.recall.TimeInt);
        shown_.recall = c.recall;
    }
    if (!shown_.valid || !sameLimits(c.limits, shown_.limits)) {
        setText(Setmax_, c.limits.Setmax);
        setText(SetMin_, c.limits.SetMin);
        setChecked(SetMaxB_, c.limits.SetMaxB);
        setChecked(SetMinB_, c.limits.SetMinB);
        setCaption(MaxText_, c.limits.MaxText);
        setCaption(MinText_, c.limits.MinText);
        MaxTextU_->setCaption(c.limits.MaxTextU);
        MinTextU_->setCaption(c.limits.MinTextU);
        shown_.limits = c.limits;
    }
    if (!shown_.valid || c.USBtxt != shown_.USBtxt || c.USBtxt1 != shown_.USBtxt1) {
        setCaption(USBtxt_, c.USBtxt);
        setCaption(USBtxt1_, c.USBtxt1);
        shown_.USBtxt = c.USBtxt;
        shown_.USBtxt1 = c.USBtxt1;
    }
}

void TFCOMM::mirrorConnection()
{
    ConnectionSnapshot now = ConnectionSnapshot::of(conn_->C);
    if (shown_.valid && now == shown_.connection)
        return;
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
    if (!shown_.valid || now.devices != shown_.connection.devices) {
        const QSignalBlocker block(DevListBox_);
        DevListBox_->clear();
        for (const std::string& line : now.devices)
            DevListBox_->addItem(qt(line));
    }
    {
        const QSignalBlocker block(DevListBox_);
        DevListBox_->setCurrentRow(now.DevListBoxSelected);
    }
    shown_.connection = std::move(now);
}

void TFCOMM::mirrorLists()
{
    if (!shown_.valid || core_.HistoryListBox.added() != shown_.historyAdded
        || core_.HistoryListBox.size() != shown_.historySize)
        followLines(HistoryListBox_, core_.HistoryListBox, shown_.historyAdded, shown_.historySize);
    if (core_.Memo1.added() != shown_.memoAdded || core_.Memo1.size() != shown_.memoSize)
        followLines(Memo1_, core_.Memo1, shown_.memoAdded, shown_.memoSize);
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
