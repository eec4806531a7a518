#include "base/SystemClock.h"

#include <chrono>
#include <clocale>
#include <ctime>
#include <langinfo.h>

namespace valdrin {

namespace {
// Days from 1899-12-30 to the Unix epoch.
constexpr double kUnixEpochDays = 25569.0;
} // namespace

double SystemClock::now()
{
    using namespace std::chrono;
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    const int64_t ms = duration_cast<milliseconds>(sinceEpoch).count();
    const int64_t second = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    if (second != cachedSecond_) {
        const std::time_t t = static_cast<std::time_t>(second);
        std::tm local{};
        localtime_r(&t, &local);
        const int64_t localSeconds = static_cast<int64_t>(second) + local.tm_gmtoff;
        cachedLocalDays_ = kUnixEpochDays + static_cast<double>(localSeconds) / 86400.0;
        cachedSecond_ = second;
    }
    return cachedLocalDays_ + static_cast<double>(ms - second * 1000) / 86400000.0;
}

void useSystemLocale() { std::setlocale(LC_ALL, ""); }

std::string systemDecimalSeparator()
{
    const std::lconv* conv = std::localeconv();
    return conv && conv->decimal_point ? std::string(conv->decimal_point) : std::string();
}

std::string systemLongTimeFormat()
{
    const char* format = nl_langinfo(T_FMT);
    return format && *format ? std::string(format) : std::string("%H:%M:%S");
}

TimeWords systemTimeWords()
{
    TimeWords words;
    if (const char* am = nl_langinfo(AM_STR))
        words.am = am;
    if (const char* pm = nl_langinfo(PM_STR))
        words.pm = pm;
    if (const char* twelveHour = nl_langinfo(T_FMT_AMPM); twelveHour && *twelveHour)
        words.twelveHour = twelveHour;
    return words;
}

} // namespace valdrin
