// Recording rules of the reading table: row limit, sampling gate, repeat filter,
// the one-second sampling clock, the interval edit, the row-limit items and clearing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "record/ReadingTable.h"

namespace valdrin {

class Messages;

struct RecordingState {
    int32_t RecordNo = 1;         // number of the next row; also used up by dropped repeats
    int32_t RecordCount = 0;      // rows appended by recording since start-up or the last clear
    int32_t MaxRecords = 10000;   // row limit
    int32_t SampleCountdown = 0;  // seconds still to wait before the next sampled row
    std::string LastRecordedKey;  // value, mode, unit and range of the last row written
};

// The row limit items of the Record menu, in menu order.
enum class RowLimitItem : uint8_t { N10001, N50001, N100001, N500001, N1000001, limitess };
inline constexpr std::array<std::string_view, 6> kRowLimitCaptions = {"1000",  "5000",   "10000",
                                                                      "50000", "100000", "limitless"};
inline constexpr std::array<int32_t, 6> kRowLimitValues = {1000, 5000, 10000, 50000, 100000, 10000000};

struct RecordingControls {
    bool RepeatSet = true;             // "Repeat": checked records identical readings too
    bool RecordSI = false;             // "Sampling Interval           'S"
    std::string RecordSITime = "10";   // interval in whole seconds
    RowLimitItem checkedLimit = RowLimitItem::N100001;

    bool operator==(const RecordingControls&) const = default;
};

struct ReadingTexts {
    std::string_view value, mode, unit, range;
};

// Records one reading; returns the index of the appended row, or nothing when the
// reading is not recorded. Throws ConvertError for an interval text that is no number
// (after the key is stored, before anything is appended).
std::optional<std::size_t> recordReading(RecordingState& state, const RecordingControls& controls,
                                         const ReadingTexts& reading, int32_t timeOfDayMs,
                                         ReadingTable& table);

// The sampling clock's one-second tick.
void sampleTick(RecordingState& state, const RecordingControls& controls);
// Reloads the countdown from the interval edit ("", "+" and "-" count as 0).
void reloadSampleCountdown(RecordingState& state, const RecordingControls& controls);
// Key filter of the interval and time edits: digits and backspace only.
bool acceptDigitKey(char key);
void chooseRowLimit(RecordingState& state, RecordingControls& controls, RowLimitItem item);
// " Record deleted ", then the table is emptied and numbering starts again at 1.
void clearRecords(RecordingState& state, ReadingTable& table, Messages& messages);

} // namespace valdrin
