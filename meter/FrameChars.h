// Reading characters of a frame text by position, counted from 1 as the frame
// layouts count them. A position past the end reads as an empty text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/IntegerValue.h"

namespace valdrin {

inline std::string_view frameChar(const std::string& frame, std::size_t position)
{
    return position >= 1 && position <= frame.size() ? std::string_view(frame).substr(position - 1, 1)
                                                     : std::string_view();
}

inline char frameCharOr0(const std::string& frame, std::size_t position)
{
    return position >= 1 && position <= frame.size() ? frame[position - 1] : '\0';
}

// The integer value of one character (fast path for a decimal digit).
inline int32_t charValue(std::string_view c)
{
    if (c.size() == 1 && c[0] >= '0' && c[0] <= '9')
        return c[0] - '0';
    return IntegerValue(c);
}

// A hexadecimal digit character: "A" to "F" as 10 to 15, anything else as a decimal digit.
inline int32_t nibbleValue(std::string_view c)
{
    if (c.size() == 1 && c[0] >= 'A' && c[0] <= 'F')
        return c[0] - 'A' + 10;
    return charValue(c);
}

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The display read left to right: the sign, then each digit followed by the point
// text that stands after it (empty digits write nothing), the last digit alone.
template <std::size_t N>
void appendDisplay(std::string& out, std::string_view sign, const std::array<char, N>& digits,
                   const std::array<std::string_view, N - 1>& pointsAfter)
{
    out.assign(sign);
    for (std::size_t i = 0; i < N; ++i) {
        if (digits[i])
            out += digits[i];
        if (i + 1 < N)
            out += pointsAfter[i];
    }
}

} // namespace valdrin
