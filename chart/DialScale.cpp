#include "chart/DialScale.h"

#include "chart/DialItem.h"

namespace valdrin {

namespace {

constexpr ScaleNumber FrequencyNumbers[] = {
    {0, "-50", 5, 7},  {10, "-40", 8, 6}, {20, "-30", 10, 5}, {30, "-20", 10, 4},
    {40, "-10", 5, 4}, {50, "0", 3, 3},   {60, "10", 8, 5},   {70, "20", 8, 5},
    {80, "30", 9, 4},  {90, "40", 12, 9}, {100, "50", 14, 11},
};

constexpr ScaleNumber Family4Numbers[] = {
    {0, "-40", 5, 7}, {10, "-30", 8, 6}, {20, "-20", 10, 5}, {30, "-10", 10, 4}, {40, "0", 3, 4},
    {50, "10", 5, 5}, {60, "20", 8, 5},  {70, "30", 10, 6},  {80, "40", 12, 7},
};

constexpr ScaleNumber Family6Numbers[] = {
    {0, "-60", 5, 7}, {15, "-45", 8, 6}, {30, "-30", 10, 5},  {45, "-15", 10, 4}, {60, "0", 3, 4},
    {75, "15", 5, 5}, {90, "30", 8, 5},  {105, "45", 10, 6}, {120, "60", 11, 7},
};

constexpr ScaleNumber Family34Numbers[] = {
    {4, "-30", 8, 6}, {14, "-20", 10, 5}, {24, "-10", 10, 4}, {34, "0", 3, 4},
    {44, "10", 5, 5}, {54, "20", 8, 5},   {64, "30", 10, 6},
};

constexpr ScaleNumber Family2Numbers[] = {
    {0, "-20", 5, 7}, {5, "-15", 8, 6}, {10, "-10", 10, 5}, {15, "-5", 10, 4}, {20, "0", 3, 4},
    {25, "5", 5, 5},  {30, "10", 8, 5}, {35, "15", 10, 6},  {40, "20", 12, 7},
};

} // namespace

std::span<const ScaleNumber> scaleNumbers(std::string_view countFamily, bool frequencyMode)
{
    if (frequencyMode)
        return FrequencyNumbers;
    if (countFamily == "34")
        return Family34Numbers;
    if (countFamily == "2")
        return Family2Numbers;
    if (countFamily == "4")
        return Family4Numbers;
    if (countFamily == "6")
        return Family6Numbers;
    return {};
}

std::optional<uint32_t> scaleMarkColour(std::string_view countFamily, bool frequencyMode, int32_t step)
{
    if (frequencyMode)
        return step % 10 == 0 ? std::optional<uint32_t>(DialRed) : std::nullopt;
    if (countFamily == "34")
        return step % 10 == 4 ? std::optional<uint32_t>(DialRed) : std::nullopt;
    if (countFamily == "4") // white on the white face: placed, but invisible
        return step % 10 == 0 ? std::optional<uint32_t>(DialWhite) : std::nullopt;
    if (countFamily == "6")
        return step % 15 == 0 ? std::optional<uint32_t>(DialRed) : std::nullopt;
    return std::nullopt; // "2" and unknown families: no marks
}

} // namespace valdrin
