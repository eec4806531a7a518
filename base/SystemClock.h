// The system's local date and time, and the locale facts read once at start-up.
#pragma once

#include <cstdint>
#include <string>

#include "base/Edges.h"
#include "base/TimeWords.h"

namespace valdrin {

// Local time as days since 1899-12-30. The local offset is looked up once per second
// of wall time, since every decoded frame asks for the time.
class SystemClock : public Clock {
public:
    double now() override;

private:
    int64_t cachedSecond_ = INT64_MIN;
    double cachedLocalDays_ = 0;  // local date-time of cachedSecond_
};

// Call once at program start: setlocale(LC_ALL, "").
void useSystemLocale();
// The decimal separator of LC_NUMERIC (empty if the locale gives none).
std::string systemDecimalSeparator();
// The long time format of LC_TIME, an strftime pattern (T_FMT).
std::string systemLongTimeFormat();
// The AM/PM words and the 12-hour pattern of LC_TIME (AM_STR, PM_STR, T_FMT_AMPM), of
// the calling thread's locale: the system's once useSystemLocale ran. A locale without
// a 12-hour pattern gives the C locale's, as strftime takes it for %r.
TimeWords systemTimeWords();

} // namespace valdrin
