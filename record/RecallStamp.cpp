#include "record/RecallStamp.h"

#include "base/Edges.h"
#include "base/IntegerValue.h"
#include "record/TimeText.h"

#include <algorithm>

namespace valdrin {

void loadStamp(StampState& stamp, const RecallControls& controls)
{
    stamp.StampHour = IntegerValue(controls.TimeH);
    stamp.StampMinute = IntegerValue(controls.TimeM);
    stamp.StampSecond = IntegerValue(controls.TimeS);
}

namespace {
// Setting an edit to the text it holds is no change and runs no handler.
void setEditText(std::string& text, const char* value, const EditChanged& changed)
{
    if (text == value)
        return;
    text = value;
    if (changed)
        changed();
}
} // namespace

void recallCheckClicked(StampState& stamp, RecallControls& controls, const EditChanged& changed)
{
    const bool on = controls.RecallCheck;
    setEditText(controls.TimeH, on ? "00" : "23", changed);
    setEditText(controls.TimeM, on ? "00" : "59", changed);
    setEditText(controls.TimeS, on ? "00" : "59", changed);
    loadStamp(stamp, controls);
}

void checkTimeEdits(StampState& stamp, RecallControls& controls, Messages& messages, const EditChanged& changed)
{
    struct FieldCheck {
        std::string& text;
        int32_t& part;
        int32_t limit;
    };
    for (FieldCheck f : {FieldCheck{controls.TimeH, stamp.StampHour, 24},
                         FieldCheck{controls.TimeM, stamp.StampMinute, 60},
                         FieldCheck{controls.TimeS, stamp.StampSecond, 60}}) {
        const int32_t value = IntegerValue(f.text);
        if (value < f.limit) {
            f.part = value;
        } else {
            messages.information("Input error!");
            setEditText(f.text, "00", changed);
        }
    }
}

namespace {
// The carry loop ("while the second is above 59, take 60 and carry a minute; a minute
// above 59 takes 60 and carries an hour; an hour above 23 becomes 0") in closed form,
// so that a huge interval costs no more than a small one. Out-of-range start parts
// (loaded from the edits without a range check) carry exactly as the loop does.
int32_t carryHours(int64_t hour, int64_t carries)
{
    if (carries == 0)
        return static_cast<int32_t>(hour);
    if (hour >= 23)
        return static_cast<int32_t>((carries - 1) % 24);
    const int64_t h = hour + carries;
    return static_cast<int32_t>(h <= 23 ? h : h % 24);
}
} // namespace

void advanceStamp(StampState& stamp, const RecallControls& controls, Clock& clock)
{
    if (!controls.RecallCheck) {
        stamp.StampTime = clock.now();
        return;
    }
    stamp.StampStep = IntegerValue(controls.TimeInt);
    int64_t second = static_cast<int64_t>(stamp.StampSecond) + stamp.StampStep;
    int64_t steps = 0;  // rounds of the carry loop
    if (second > 59) {
        steps = (second - 60) / 60 + 1;
        second -= steps * 60;
    }
    int64_t minute = stamp.StampMinute;
    int64_t hourCarries = 0;
    if (steps > 0 && minute >= 59) {  // each round takes 59 off a minute above range
        const int64_t rounds = std::min(steps, (minute - 59) / 59 + 1);
        minute -= 59 * rounds;
        hourCarries += rounds;
        steps -= rounds;
    }
    if (steps > 0) {
        const int64_t toCarry = 60 - minute;
        if (steps < toCarry) {
            minute += steps;
        } else {
            steps -= toCarry;
            hourCarries += 1 + steps / 60;
            minute = steps % 60;
        }
    }
    stamp.StampSecond = static_cast<int32_t>(second);
    stamp.StampMinute = static_cast<int32_t>(minute);
    stamp.StampHour = carryHours(stamp.StampHour, hourCarries);
    stamp.StampTime = timeOfDay(stamp.StampHour, stamp.StampMinute, stamp.StampSecond);
}

} // namespace valdrin
