// Drawing items of the dial picture: what the dial view paints, in order.
// Coordinates are pixels of the dial picture; colours are 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <string>

namespace valdrin {

inline constexpr uint32_t DialWhite = 0xFFFFFF;
inline constexpr uint32_t DialBlack = 0x000000;
inline constexpr uint32_t DialRed = 0x0000FF;

struct DialPoint {
    int x, y;
    friend bool operator==(const DialPoint&, const DialPoint&) = default;
};

struct DialItem {
    enum class Kind {
        Clear,   // fill the whole picture white
        Text,    // text, top-left at (x1, y1), picture's default font, black
        Ellipse, // ellipse in the box (x1, y1)-(x2, y2) with the pen
        Line     // line from (x1, y1) to (x2, y2) with the pen
    } kind;
    int x1, y1, x2, y2;
    int penWidth;
    uint32_t colour;
    std::string text;
    friend bool operator==(const DialItem&, const DialItem&) = default;
};

} // namespace valdrin
