// Recording rules: row limit, sampling gate, repeat filter and its numbering, clearing.
#include <gtest/gtest.h>

#include "base/IntegerValue.h"
#include "record/Recording.h"
#include "tests/support/RecordingEdges.h"

using namespace valdrin;

namespace {
struct Recorder {
    RecordingState state;
    RecordingControls controls;
    ReadingTable table;
    bool record(std::string_view value, std::string_view mode = "DC", std::string_view unit = "V",
                std::string_view range = "AUTO")
    {
        return recordReading(state, controls, {value, mode, unit, range}, 1000, table).has_value();
    }
};
} // namespace

TEST(Recording, RepeatFilterDropsRepeatsButUsesTheirNumbers)
{
    Recorder r;
    r.controls.RepeatSet = false;
    for (const char* v : {"A", "A", "A", "B"})
        r.record(v);
    ASSERT_EQ(r.table.size(), 2u);
    EXPECT_EQ(r.table.no(0), 1);
    EXPECT_EQ(r.table.no(1), 4);
    EXPECT_EQ(r.state.LastRecordedKey, "BDCVAUTO");

    Recorder all;  // "Repeat" checked: everything is recorded
    for (const char* v : {"A", "A", "A", "B"})
        all.record(v);
    EXPECT_EQ(all.table.size(), 4u);
}

TEST(Recording, ClearKeepsTheLastKeySoARepeatAfterItIsDropped)
{
    Recorder r;
    test::RecordingMessages messages;
    r.controls.RepeatSet = false;
    r.record("12.34");
    clearRecords(r.state, r.table, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, " Record deleted ");
    EXPECT_TRUE(r.table.empty());
    EXPECT_FALSE(r.record("12.34"));
    EXPECT_TRUE(r.record("12.35"));
    EXPECT_EQ(r.table.no(0), 2);
}

TEST(Recording, RowLimitStopsSilentlyAndAHigherLimitResumes)
{
    Recorder r;
    chooseRowLimit(r.state, r.controls, RowLimitItem::N10001);
    for (int i = 0; i < 1005; ++i)
        r.record(std::to_string(i));
    EXPECT_EQ(r.table.size(), 1000u);
    EXPECT_EQ(r.state.RecordNo, 1001);
    EXPECT_EQ(r.state.LastRecordedKey, "999DCVAUTO");
    chooseRowLimit(r.state, r.controls, RowLimitItem::N50001);
    EXPECT_TRUE(r.record("next"));
    EXPECT_EQ(r.table.no(1000), 1001);
    chooseRowLimit(r.state, r.controls, RowLimitItem::limitess);
    EXPECT_EQ(r.state.MaxRecords, 10000000);
    EXPECT_EQ(r.controls.checkedLimit, RowLimitItem::limitess);
}

TEST(Recording, SamplingIntervalGatesRowsByTicks)
{
    struct Case {
        const char* interval;
        std::size_t rows;  // of 100 readings, one per one-second tick, the countdown loaded first
    };
    for (const Case c : {Case{"0", 100}, Case{"", 100}, Case{"+", 100}, Case{"10", 9}, Case{"1", 99}}) {
        Recorder r;
        r.controls.RecordSI = true;
        r.controls.RecordSITime = c.interval;
        reloadSampleCountdown(r.state, r.controls);
        for (int second = 0; second < 100; ++second) {
            r.record(std::to_string(second));
            sampleTick(r.state, r.controls);
        }
        EXPECT_EQ(r.table.size(), c.rows) << "interval '" << c.interval << "'";
    }
}

TEST(Recording, CountdownStandsStillWhileSamplingIsOffAndLoadsAtEveryRow)
{
    Recorder r;
    r.record("1");
    EXPECT_EQ(r.state.SampleCountdown, 10);  // loaded also while sampling is off
    sampleTick(r.state, r.controls);
    EXPECT_EQ(r.state.SampleCountdown, 10);
    r.controls.RecordSI = true;
    EXPECT_FALSE(r.record("2"));  // the first sampled row waits for the loaded countdown
}

TEST(Recording, IntervalThatIsNoNumberStoresTheKeyButNoRow)
{
    Recorder r;
    r.controls.RecordSITime = "99999999999";
    EXPECT_THROW(r.record("1"), ConvertError);
    EXPECT_TRUE(r.table.empty());
    EXPECT_EQ(r.state.RecordNo, 1);
    EXPECT_EQ(r.state.RecordCount, 0);
    EXPECT_EQ(r.state.LastRecordedKey, "1DCVAUTO");
}

TEST(Recording, TextsAreCutToTwentyCharacters)
{
    Recorder r;
    r.record("123456789012345678901234", "DC", "VVVVVVVVVVVVVVVVVVVVVV");
    EXPECT_EQ(r.table.text(0, Field::Value), "12345678901234567890");
    EXPECT_EQ(r.table.text(0, Field::Unit).size(), 20u);
}

TEST(Recording, KeyFilters)
{
    for (char c : {'0', '5', '9', '\b'})
        EXPECT_TRUE(acceptDigitKey(c)) << int(c);
    for (char c : {'-', '+', '.', 'a', ' ', ','})
        EXPECT_FALSE(acceptDigitKey(c)) << c;
}
