// Time of day as text in the system's long time format (an strftime pattern such as
// "%H:%M:%S" from the locale's T_FMT), and back: what a save writes, a load reads.
// %p and %r take the locale's own words, as strftime and strptime do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/TimeWords.h"

namespace valdrin {

inline constexpr int32_t kMsPerDay = 86400000;

// ms since midnight -> text. Supports %H %I %M %S %p %T %R %r %X %% and literal text;
// %p and %r in the words of the calling thread's LC_TIME.
std::string formatTimeOfDay(int32_t ms, std::string_view longTimeFormat);
// text -> ms since midnight; nullopt when the text does not follow the format. The
// AM/PM words are matched without regard to ASCII case.
std::optional<int32_t> parseTimeOfDay(std::string_view text, std::string_view longTimeFormat);

// The long time format prepared once, for tables that format or parse many times;
// the same texts as formatTimeOfDay and parseTimeOfDay, which use it.
class TimeOfDayFormat {
public:
    // With the words of the calling thread's LC_TIME (the system's, see systemTimeWords).
    explicit TimeOfDayFormat(std::string_view longTimeFormat);
    TimeOfDayFormat(std::string_view longTimeFormat, const TimeWords& words);
    void appendTo(std::string& out, int32_t ms) const;
    std::string format(int32_t ms) const;
    std::optional<int32_t> parse(std::string_view text) const;
    // The same as parse, the time in ms: false when the text does not follow the format.
    bool parse(std::string_view text, int32_t& ms) const;
    // The longest text of this format; formatTo writes at most this many bytes to out
    // and returns how many it wrote (the text of format).
    std::size_t maxLength() const { return maxLength_; }
    std::size_t formatTo(char* out, int32_t ms) const;

private:
    std::string expanded_;  // only %H %I %M %S %p and single conversions left
    std::string am_, pm_;   // what %p writes
    std::string amLower_, pmLower_;  // what %P writes
    bool twentyFourHour_;   // the format is %H:%M:%S, the common long time format
    std::size_t maxLength_ = 0;
};

// Date-time in days (fraction = time of day) -> ms since midnight, date part dropped.
int32_t timeOfDayMs(double dateTime);
// Time of day from its parts, no date part.
double timeOfDay(int32_t hour, int32_t minute, int32_t second);

} // namespace valdrin
