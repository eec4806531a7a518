// The words a locale's long time format needs beyond its pattern: what %p writes
// before and after noon, and the 12-hour pattern that %r stands for.
#pragma once

#include <string>

namespace valdrin {

struct TimeWords {
    std::string am = "AM";                   // AM_STR
    std::string pm = "PM";                   // PM_STR
    std::string twelveHour = "%I:%M:%S %p";  // T_FMT_AMPM
};

} // namespace valdrin
