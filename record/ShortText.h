// Copying and comparing the short texts of a row (at most a few dozen bytes) with
// moves of fixed size instead of calls to memcpy and memcmp: saves and loads of large
// tables do this millions of times, with sizes that vary from field to field.
#pragma once

#include <cstddef>
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

} // namespace valdrin::shorttext
