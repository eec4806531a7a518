// The dial's scale per count family: which steps carry a number (and where the
// text sits relative to its anchor) and which steps carry a mark in which colour.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace valdrin {

// A numbered step: its text is drawn with the top-left corner at (T.x - dx, T.y - dy),
// T being the number anchor of the step.
struct ScaleNumber {
    int32_t step;
    std::string_view text;
    int dx, dy;
};

// Numbered steps in ascending order; empty for a family the dial does not know.
std::span<const ScaleNumber> scaleNumbers(std::string_view countFamily, bool frequencyMode);

// Colour of the mark on step s, or nothing when the step has no mark.
std::optional<uint32_t> scaleMarkColour(std::string_view countFamily, bool frequencyMode, int32_t step);

} // namespace valdrin
