// What a decoder hands to the post-decode block, the fixed sequence that ends every
// decoded frame: alarm, trace and extremes, dial, time stamp, recording, bar, chart.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace valdrin {

enum class Overload : uint8_t { None, Positive, Negative, L0 };

struct DecodedDisplay {
    std::string_view sign;                // "-" or empty
    std::array<char, 5> digits{};         // digit texts left to right; '\0' is an empty text
    std::size_t digitCount = 0;           // 5 for the Zentor family, 4 for the others
    std::optional<int32_t> ownPointIndex; // used when no point is lit; empty = "none"
    bool pointZeroCounts = false;         // LcdP0 takes part (Zentor family only)
    Overload overload = Overload::None;
    float resetMax = 0, resetMin = 0;     // extremes at a trace start
    bool timeStampStep = false;           // the family advances the recall stamp
    int32_t barOverloadPosition = 0;      // the bar on either overload
    bool digitCaptionsAfterExtremes = false; // LcdDa..LcdDd take the digits after the extremes display
};

} // namespace valdrin
