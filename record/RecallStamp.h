// Recall mode: recalled meter readings get synthetic time stamps, a start time plus
// one interval per decoded frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace valdrin {

class Clock;
class Messages;

struct StampState {
    double StampTime = 0;  // days; the fraction is the time of day
    int32_t StampHour = 0, StampMinute = 0, StampSecond = 0;
    int32_t StampStep = 0;  // seconds per frame, as read at the last step
};

struct RecallControls {
    bool RecallCheck = false;  // "RecallData"
    std::string TimeH = "23", TimeM = "59", TimeS = "59", TimeInt = "1";

    bool operator==(const RecallControls&) const = default;
};

// The edits' change handler, run each time one of their texts is set to a new text,
// at the moment it changes (as a widget runs it); empty: nothing runs.
using EditChanged = std::function<void()>;

// Stamp parts from the three time edits (throws ConvertError on a text that is no number).
void loadStamp(StampState& stamp, const RecallControls& controls);
// The check box was clicked: preset the start time, then load it.
void recallCheckClicked(StampState& stamp, RecallControls& controls, const EditChanged& changed = {});
// A key was released in a time edit: check each field against its range; a field out
// of range is set to "00".
void checkTimeEdits(StampState& stamp, RecallControls& controls, Messages& messages,
                    const EditChanged& changed = {});
// One decoded frame: the clock's time, or the stamp advanced by the interval.
void advanceStamp(StampState& stamp, const RecallControls& controls, Clock& clock);

} // namespace valdrin
