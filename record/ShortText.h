// Copying and comparing the short texts of a row (at most a few dozen bytes) with
// moves of fixed size instead of calls to memcpy and memcmp: saves and loads of large
// tables do this millions of times, with sizes that vary from field to field.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace valdrin::shorttext {

template <std::size_t N>
inline void moveFixed(char* to, const char* from)
{
    char bytes[N];
    std::memcpy(bytes, from, N);
    std::memcpy(to, bytes, N);
}

// Copies n bytes; reads and writes nothing outside the n bytes.
inline void copy(char* to, const char* from, std::size_t n)
{
    if (n >= 16 && n <= 32) {
        moveFixed<16>(to, from);
        moveFixed<16>(to + n - 16, from + n - 16);
    } else if (n >= 8 && n < 16) {
        moveFixed<8>(to, from);
        moveFixed<8>(to + n - 8, from + n - 8);
    } else if (n >= 4 && n < 8) {
        moveFixed<4>(to, from);
        moveFixed<4>(to + n - 4, from + n - 4);
    } else if (n > 32) {
        std::memcpy(to, from, n);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            to[i] = from[i];
    }
}

// a == b, reading nothing outside the two texts.
inline bool same(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size();
    if (n != b.size())
        return false;
    const char* x = a.data();
    const char* y = b.data();
    if (n >= 16 && n <= 32)
        return std::memcmp(x, y, 16) == 0 && std::memcmp(x + n - 16, y + n - 16, 16) == 0;
    if (n >= 8 && n < 16)
        return std::memcmp(x, y, 8) == 0 && std::memcmp(x + n - 8, y + n - 8, 8) == 0;
    if (n >= 4 && n < 8)
        return std::memcmp(x, y, 4) == 0 && std::memcmp(x + n - 4, y + n - 4, 4) == 0;
    if (n > 32)
        return std::memcmp(x, y, n) == 0;
    // 0 to 3 bytes: the first, middle and last cover them all.
    return n == 0 || (x[0] == y[0] && x[n / 2] == y[n / 2] && x[n - 1] == y[n - 1]);
}

// The value of text when it is one to eight decimal digits, read with one 8-byte load
// instead of digit by digit: every row number of a load passes here. The eight bytes
// from text.data() must lie before readableEnd; false when they do not, or when text
// is anything else (the caller then reads it the general way).
inline bool digitsValue(std::string_view text, const char* readableEnd, uint32_t& value)
{
    const std::size_t n = text.size();
    if (n == 0 || n > 8 || readableEnd - text.data() < 8)
        return false;
    uint64_t x;
    std::memcpy(&x, text.data(), 8);
    if constexpr (std::endian::native != std::endian::little)
        return false;
    // The digits to the high bytes, zero digits before them: the first byte in memory
    // is the lowest, and the most significant digit.
    const unsigned pad = static_cast<unsigned>(8 - n) * 8;
    constexpr uint64_t zeros = 0x3030303030303030u;
    x = (x << pad) | (pad ? (zeros & ((uint64_t{1} << pad) - 1)) : 0);
    constexpr uint64_t highNibbles = 0xF0F0F0F0F0F0F0F0u;
    if ((x & highNibbles) != zeros || ((x + 0x0606060606060606u) & highNibbles) != zeros)
        return false;
    x = (x & 0x0F0F0F0F0F0F0F0Fu) * 2561 >> 8;
    x = (x & 0x00FF00FF00FF00FFu) * 6553601 >> 16;
    x = (x & 0x0000FFFF0000FFFFu) * 42949672960001u >> 32;
    value = static_cast<uint32_t>(x);
    return true;
}

} // namespace valdrin::shorttext
