// The upper and lower limit edits: their texts become limits in display counts.
#pragma once

#include <string>
#include <string_view>

namespace valdrin {

struct LimitControls {
    std::string Setmax = "40000", SetMin = "-40000";  // limits as typed
    bool SetMaxB = false, SetMinB = false;            // arm the limits
    // Captions of the extremes display.
    std::string MaxText = "-40001", MinText = "40001", MaxTextU = "*", MinTextU = "*";

    bool operator==(const LimitControls&) const = default;
};

// A limit text as a limit: "", "+" and "-" give 0; otherwise the integer value
// (throws ConvertError, and the limit keeps its previous value).
float limitValue(std::string_view text);
// Key filter of the limit edits: digits, backspace, "+" and "-".
bool acceptLimitKey(char key);

} // namespace valdrin
