#include "record/TimeText.h"

#include "base/SystemClock.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace valdrin {

namespace {

constexpr std::string_view kCTwelveHour = "%I:%M:%S %p";

// Expands the composite conversions so that format and parse see only %H %I %M %S %p.
// %r is the locale's 12-hour pattern; a %r inside that one is the C locale's.
std::string expand(std::string_view format, std::string_view twelveHour)
{
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        const char c = format[++i];
        switch (c) {
        case 'T':
        case 'X': out += "%H:%M:%S"; break;
        case 'R': out += "%H:%M"; break;
        case 'r': out += expand(twelveHour, kCTwelveHour); break;
        case 'E':
        case 'O':  // locale modifiers: take the plain conversion
            if (i + 1 < format.size()) {
                out += '%';
                out += format[++i];
            }
            break;
        default:
            out += '%';
            out += c;
        }
    }
    return out;
}

// Only ASCII letters change: the bytes of a word in an 8-bit code page or UTF-8 are
// compared as they stand.
char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string asciiLower(std::string_view word)
{
    std::string out(word);
    for (char& c : out)
        c = asciiLower(c);
    return out;
}

// The word stands at the start of the text, ASCII letters in any case.
bool startsWithWord(std::string_view text, std::string_view word)
{
    if (text.size() < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (asciiLower(text[i]) != asciiLower(word[i]))
            return false;
    return true;
}

bool readNumber(std::string_view text, std::size_t& pos, int maxDigits, int& value)
{
    int digits = 0;
    value = 0;
    while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

} // namespace

TimeOfDayFormat::TimeOfDayFormat(std::string_view longTimeFormat)
    : TimeOfDayFormat(longTimeFormat, systemTimeWords())
{
}

TimeOfDayFormat::TimeOfDayFormat(std::string_view longTimeFormat, const TimeWords& words)
    : expanded_(expand(longTimeFormat, words.twelveHour)), am_(words.am), pm_(words.pm),
      amLower_(asciiLower(words.am)), pmLower_(asciiLower(words.pm)), twentyFourHour_(expanded_ == "%H:%M:%S")
{
    // A literal byte gives one byte, the AM/PM word its longer form, any other
    // conversion at most two.
    const std::size_t longerWord = std::max(am_.size(), pm_.size());
    for (std::size_t i = 0; i < expanded_.size(); ++i) {
        if (expanded_[i] == '%' && i + 1 < expanded_.size()) {
            ++i;
            maxLength_ += expanded_[i] == 'p' || expanded_[i] == 'P' ? longerWord : 2;
        } else {
            ++maxLength_;
        }
    }
}

std::string formatTimeOfDay(int32_t ms, std::string_view longTimeFormat)
{
    return TimeOfDayFormat(longTimeFormat).format(ms);
}

std::optional<int32_t> parseTimeOfDay(std::string_view text, std::string_view longTimeFormat)
{
    return TimeOfDayFormat(longTimeFormat).parse(text);
}

std::string TimeOfDayFormat::format(int32_t ms) const
{
    std::string out;
    appendTo(out, ms);
    return out;
}

void TimeOfDayFormat::appendTo(std::string& out, int32_t ms) const
{
    const std::size_t start = out.size();
    out.resize(start + maxLength_);
    out.resize(start + formatTo(out.data() + start, ms));
}

std::size_t TimeOfDayFormat::formatTo(char* const out, int32_t ms) const
{
    ms = ((ms % kMsPerDay) + kMsPerDay) % kMsPerDay;
    const int hour = ms / 3600000, minute = ms / 60000 % 60, second = ms / 1000 % 60;
    if (twentyFourHour_) {
        // HH:MM:SS from a table of digit pairs: a save formats each second of a table.
        static constexpr char kDigitPairs[] =
            "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
            "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
            "8081828384858687888990919293949596979899";
        std::memcpy(out, kDigitPairs + 2 * hour, 2);
        out[2] = ':';
        std::memcpy(out + 3, kDigitPairs + 2 * minute, 2);
        out[5] = ':';
        std::memcpy(out + 6, kDigitPairs + 2 * second, 2);
        return 8;
    }
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char* p = out;
    auto two = [&](int v) {
        *p++ = static_cast<char>('0' + v / 10 % 10);
        *p++ = static_cast<char>('0' + v % 10);
    };
    auto number = [&](int v) {  // without a leading zero
        if (v >= 10)
            *p++ = static_cast<char>('0' + v / 10);
        *p++ = static_cast<char>('0' + v % 10);
    };
    const std::string& format = expanded_;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            *p++ = format[i];
            continue;
        }
        switch (format[++i]) {
        case 'H': two(hour); break;
        case 'k': number(hour); break;
        case 'I': two(hour12); break;
        case 'l': number(hour12); break;
        case 'M': two(minute); break;
        case 'S': two(second); break;
        case 'p': {
            const std::string& word = hour < 12 ? am_ : pm_;
            p = std::copy(word.begin(), word.end(), p);
            break;
        }
        case 'P': {
            const std::string& word = hour < 12 ? amLower_ : pmLower_;
            p = std::copy(word.begin(), word.end(), p);
            break;
        }
        case '%': *p++ = '%'; break;
        case 'n': *p++ = '\n'; break;
        case 't': *p++ = '\t'; break;
        default: break;  // date conversions have nothing to show in a time of day
        }
    }
    return static_cast<std::size_t>(p - out);
}

std::optional<int32_t> TimeOfDayFormat::parse(std::string_view text) const
{
    int32_t ms = 0;
    return parse(text, ms) ? std::optional<int32_t>(ms) : std::nullopt;
}

bool TimeOfDayFormat::parse(std::string_view text, int32_t& ms) const
{
    if (twentyFourHour_ && text.size() == 8 && text[2] == ':' && text[5] == ':') {
        // HH:MM:SS as a save writes it, read at once; any other text takes the way below.
        unsigned d[8];
        for (std::size_t k = 0; k < 8; ++k)
            d[k] = static_cast<unsigned>(static_cast<unsigned char>(text[k])) - '0';
        if (d[0] <= 9 && d[1] <= 9 && d[3] <= 9 && d[4] <= 9 && d[6] <= 9 && d[7] <= 9) {
            const unsigned hour = d[0] * 10 + d[1], minute = d[3] * 10 + d[4], second = d[6] * 10 + d[7];
            if (hour >= 24 || minute >= 60 || second >= 60)
                return false;
            ms = static_cast<int32_t>((hour * 3600 + minute * 60 + second) * 1000);
            return true;
        }
    }
    const std::string& format = expanded_;
    int hour = 0, minute = 0, second = 0;
    bool twelveHour = false;
    std::optional<bool> pm;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            if (format[i] == ' ') {  // a blank in the format matches any run of blanks
                while (pos < text.size() && text[pos] == ' ')
                    ++pos;
                continue;
            }
            if (pos >= text.size() || text[pos] != format[i])
                return false;
            ++pos;
            continue;
        }
        const char c = format[++i];
        bool ok = true;
        switch (c) {
        case 'H':
        case 'k': ok = readNumber(text, pos, 2, hour) && hour < 24; break;
        case 'I':
        case 'l':
            ok = readNumber(text, pos, 2, hour) && hour >= 1 && hour <= 12;
            twelveHour = true;
            break;
        case 'M': ok = readNumber(text, pos, 2, minute) && minute < 60; break;
        case 'S': ok = readNumber(text, pos, 2, second) && second < 60; break;
        case 'p':
        case 'P': {
            // The longer word first, in case the shorter one begins it.
            const std::string_view rest = text.substr(pos);
            const bool pmFirst = pm_.size() > am_.size();
            const std::string& longer = pmFirst ? pm_ : am_;
            const std::string& shorter = pmFirst ? am_ : pm_;
            if (startsWithWord(rest, longer)) {
                pm = pmFirst;
                pos += longer.size();
            } else if (startsWithWord(rest, shorter)) {
                pm = !pmFirst;
                pos += shorter.size();
            } else {
                ok = false;
            }
            break;
        }
        case '%':
            ok = pos < text.size() && text[pos] == '%';
            ++pos;
            break;
        default: break;
        }
        if (!ok)
            return false;
    }
    if (pos != text.size())
        return false;
    if (twelveHour) {
        hour %= 12;
        if (pm.value_or(false))
            hour += 12;
    }
    ms = (hour * 3600 + minute * 60 + second) * 1000;
    return true;
}

int32_t timeOfDayMs(double dateTime)
{
    const double fraction = std::fabs(dateTime - std::trunc(dateTime));
    const auto ms = static_cast<int64_t>(std::llround(fraction * kMsPerDay));
    return static_cast<int32_t>(ms % kMsPerDay);
}

double timeOfDay(int32_t hour, int32_t minute, int32_t second)
{
    return (static_cast<double>(hour) * 3600.0 + minute * 60.0 + second) / 86400.0;
}

} // namespace valdrin
