// The window's recording and recall handlers, on the core's state.
#include "meter/FcommCore.h"
#include "record/TimeText.h"

namespace valdrin {

void FcommCore::INDataToTable()
{
    const int32_t time = C.recall.RecallCheck ? timeOfDayMs(S.stamp.StampTime) : timeOfDayMs(clock_.now());
    const auto row = recordReading(S.recording, C.recording,
                                   ReadingTexts{S.ReadingValue, S.ReadingMode, S.ReadingUnit, S.ReadingRange},
                                   time, cds1);
    if (row) {
        report_.recorded = true;
        report_.row = *row;
    }
}

void FcommCore::TrecordTimer() { sampleTick(S.recording, C.recording); }

void FcommCore::RecordSITimeChange()
{
    guarded([&] { reloadSampleCountdown(S.recording, C.recording); });
}

bool FcommCore::recordKeyAccepted(char key) { return acceptDigitKey(key); }

void FcommCore::RecordNewClick() { clearRecords(S.recording, cds1, messages_); }

// The row limit menu marks its item in C.
void FcommCore::N10001Click() { chooseRowLimit(S.recording, C.recording, RowLimitItem::N10001); controlsEdited(); }
void FcommCore::N50001Click() { chooseRowLimit(S.recording, C.recording, RowLimitItem::N50001); controlsEdited(); }
void FcommCore::N100001Click() { chooseRowLimit(S.recording, C.recording, RowLimitItem::N100001); controlsEdited(); }
void FcommCore::N500001Click() { chooseRowLimit(S.recording, C.recording, RowLimitItem::N500001); controlsEdited(); }
void FcommCore::N1000001Click() { chooseRowLimit(S.recording, C.recording, RowLimitItem::N1000001); controlsEdited(); }
void FcommCore::limitessClick() { chooseRowLimit(S.recording, C.recording, RowLimitItem::limitess); controlsEdited(); }

// The recall edits share the interval edit's change handler: a text the core sets
// reloads the sampling countdown as one the user types. The handler reports its own
// error, so the rest of the click or key still runs. The edits' texts are counted
// once the handler is done: a message box on the way runs the window's mirror.
void FcommCore::RecallCheckClick()
{
    guarded([&] { recallCheckClicked(S.stamp, C.recall, [this] { RecordSITimeChange(); }); });
    controlsEdited();
}

void FcommCore::RecallCheckExit()
{
    guarded([&] { loadStamp(S.stamp, C.recall); });
}

void FcommCore::TimeHKeyUp()
{
    guarded([&] { checkTimeEdits(S.stamp, C.recall, messages_, [this] { RecordSITimeChange(); }); });
    controlsEdited();
}

} // namespace valdrin
