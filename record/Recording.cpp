#include "record/Recording.h"

#include "base/Edges.h"
#include "base/IntegerValue.h"

namespace valdrin {

namespace {
int32_t intervalValue(std::string_view text)
{
    if (text.empty() || text == "-" || text == "+")
        return 0;
    return IntegerValue(text);
}

void formKey(std::string& key, const ReadingTexts& r)
{
    key.assign(r.value);
    key.append(r.mode);
    key.append(r.unit);
    key.append(r.range);
}
} // namespace

std::optional<std::size_t> recordReading(RecordingState& state, const RecordingControls& controls,
                                         const ReadingTexts& reading, int32_t timeOfDayMs,
                                         ReadingTable& table)
{
    if (state.MaxRecords <= state.RecordCount)
        return std::nullopt;
    if (controls.RecordSI && state.SampleCountdown != 0)
        return std::nullopt;
    if (!controls.RepeatSet) {
        const std::string& last = state.LastRecordedKey;
        const std::size_t length = reading.value.size() + reading.mode.size() + reading.unit.size() +
                                   reading.range.size();
        if (last.size() == length && last.compare(0, reading.value.size(), reading.value) == 0 &&
            last.compare(reading.value.size(), reading.mode.size(), reading.mode) == 0 &&
            last.compare(reading.value.size() + reading.mode.size(), reading.unit.size(), reading.unit) == 0 &&
            last.compare(length - reading.range.size(), reading.range.size(), reading.range) == 0) {
            ++state.RecordNo;  // the dropped repeat uses up its number
            return std::nullopt;
        }
    }
    formKey(state.LastRecordedKey, reading);
    state.SampleCountdown = intervalValue(controls.RecordSITime);
    ++state.RecordCount;
    table.appendReading(state.RecordNo, timeOfDayMs, reading.mode, reading.value, reading.unit, reading.range);
    ++state.RecordNo;
    return table.size() - 1;
}

void sampleTick(RecordingState& state, const RecordingControls& controls)
{
    if (controls.RecordSI && state.SampleCountdown > 0)
        --state.SampleCountdown;
}

void reloadSampleCountdown(RecordingState& state, const RecordingControls& controls)
{
    state.SampleCountdown = intervalValue(controls.RecordSITime);
}

bool acceptDigitKey(char key) { return (key >= '0' && key <= '9') || key == 8; }

void chooseRowLimit(RecordingState& state, RecordingControls& controls, RowLimitItem item)
{
    controls.checkedLimit = item;
    state.MaxRecords = kRowLimitValues[static_cast<std::size_t>(item)];
}

void clearRecords(RecordingState& state, ReadingTable& table, Messages& messages)
{
    messages.information(" Record deleted ");
    if (!table.empty())
        table.clear();
    state.RecordNo = 1;
    state.RecordCount = 0;
}

} // namespace valdrin
