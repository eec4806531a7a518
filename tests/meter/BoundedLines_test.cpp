// The bounded line list behind the report and frame logs: both bounds drop the oldest lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "meter/BoundedLines.h"

using namespace valdrin;

namespace {

struct BoundCase {
    const char* name;
    std::size_t lineBound, byteBound;
    std::vector<std::string> added;
    std::vector<std::string> kept;
};

class BoundedLinesTest : public ::testing::TestWithParam<BoundCase> {};

TEST_P(BoundedLinesTest, KeepsTheNewestLinesWithinBothBounds)
{
    const BoundCase& c = GetParam();
    BoundedLines lines(c.lineBound, c.byteBound);
    std::size_t bytes = 0;
    for (const std::string& line : c.added)
        lines.add(line);
    const std::vector<std::string> kept(lines.begin(), lines.end());
    EXPECT_EQ(kept, c.kept);
    for (const std::string& line : kept)
        bytes += line.size();
    EXPECT_EQ(lines.bytes(), bytes);
    EXPECT_EQ(lines.selected(), static_cast<long>(kept.size()) - 1);
    EXPECT_EQ(lines.added(), c.added.size());
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, BoundedLinesTest,
    ::testing::Values(BoundCase{"WithinBoth", 3, 100, {"ab", "cd"}, {"ab", "cd"}},
                      BoundCase{"LineBoundDropsTheOldest", 3, 100, {"a", "b", "c", "d", "e"}, {"c", "d", "e"}},
                      BoundCase{"ByteBoundDropsTheOldest", 100, 10, {"aaaa", "bbbb", "cccc"}, {"bbbb", "cccc"}},
                      BoundCase{"ExactlyTheByteBoundStays", 100, 8, {"aaaa", "bbbb"}, {"aaaa", "bbbb"}},
                      BoundCase{"OversizedLineStaysAlone", 100, 10, {"ab", std::string(25, 'x')},
                                {std::string(25, 'x')}},
                      BoundCase{"OversizedLineGoesForTheNext", 100, 10, {std::string(25, 'x'), "y"}, {"y"}},
                      BoundCase{"NoLinesAtAll", 0, 100, {"a", "b"}, {}}),
    [](const ::testing::TestParamInfo<BoundCase>& p) { return std::string(p.param.name); });

TEST(BoundedLines, ClearEmptiesTheBytesAndTheSelection)
{
    BoundedLines lines(10, 10);
    lines.add("aaaaaa");
    lines.clear();
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(lines.bytes(), 0u);
    EXPECT_EQ(lines.selected(), -1);
    // The byte count starts afresh: two lines of six bytes would not both fit.
    lines.add("bbbb");
    lines.add("cccc");
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines.added(), 3u);
}

// What a view that follows the list sees: a clear followed by as many new lines
// must not read as no change, nor as lines added to the old ones.
TEST(BoundedLines, EveryChangeAdvancesTheRevisionAndAClearIsCounted)
{
    struct Case {
        const char* name;
        std::vector<const char*> steps;  // a line to add, or nullptr for a clear
        unsigned long long clears;
        std::size_t size;
    };
    const Case cases[] = {
        {"adds", {"a", "b"}, 0, 2},
        {"clear then as many lines", {"a", "b", nullptr, "c", "d"}, 1, 2},
        {"clear of an empty list", {nullptr}, 0, 0},
        {"second clear in a row", {"a", nullptr, nullptr}, 1, 0},
        {"adds past the bound", {"a", "b", "c", "d"}, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoundedLines lines(3);
        for (const char* step : c.steps) {
            const bool changes = step || !lines.empty();
            const uint64_t before = lines.revision();
            step ? lines.add(step) : lines.clear();
            EXPECT_EQ(lines.revision() > before, changes) << (step ? step : "clear");
        }
        EXPECT_EQ(lines.clears(), c.clears);
        EXPECT_EQ(lines.size(), c.size);
    }
}

} // namespace
