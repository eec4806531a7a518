// The one integer conversion of the system: "the integer value of a text".
// Signed decimal, an optional leading sign, leading zeros allowed, 32-bit range;
// anything else throws ConvertError with the system's own message.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace valdrin {

class ConvertError : public std::runtime_error {
public:
    explicit ConvertError(std::string_view text)
        : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}
};

inline bool tryIntegerValue(std::string_view text, int32_t& out) noexcept
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return false;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

inline int32_t IntegerValue(std::string_view text)
{
    int32_t value = 0;
    if (!tryIntegerValue(text, value))
        throw ConvertError(text);
    return value;
}

} // namespace valdrin
