#include "record/TimeText.h"

#include <cmath>
#include <cstring>

namespace valdrin {

namespace {

// Expands the composite conversions so that format and parse see only %H %I %M %S %p.
std::string expand(std::string_view format)
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
        case 'r': out += "%I:%M:%S %p"; break;
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
    : expanded_(expand(longTimeFormat)), twentyFourHour_(expanded_ == "%H:%M:%S")
{
    // A literal byte gives one byte, a conversion at most two.
    for (std::size_t i = 0; i < expanded_.size(); ++i) {
        if (expanded_[i] == '%' && i + 1 < expanded_.size()) {
            ++i;
            maxLength_ += 2;
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
        case 'p':
            *p++ = hour < 12 ? 'A' : 'P';
            *p++ = 'M';
            break;
        case 'P':
            *p++ = hour < 12 ? 'a' : 'p';
            *p++ = 'm';
            break;
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
            const std::string_view rest = text.substr(pos, 2);
            if (rest == "AM" || rest == "am")
                pm = false;
            else if (rest == "PM" || rest == "pm")
                pm = true;
            else
                ok = false;
            pos += 2;
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
