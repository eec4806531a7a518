// The recall edits share the interval edit's change handler: wherever the core sets
// their texts, the sampling countdown is reloaded from the interval edit.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

namespace {

struct EditChangeCase {
    const char* name;
    std::function<void(FcommCore&)> act;
    bool reloads;             // the countdown is back at the interval
    const char* h, *m, *s;    // the edits afterwards
};

class RecallEditChange : public ::testing::TestWithParam<EditChangeCase> {};

// Sampling on with a 10-second interval, three ticks into the countdown.
TEST_P(RecallEditChange, ReloadsTheCountdownOnlyWhenATextChanges)
{
    const EditChangeCase& c = GetParam();
    CoreFixture f;
    f.core.C.recording.RecordSI = true;
    f.zentor({"123451121"});
    for (int i = 0; i < 3; ++i)
        f.core.TrecordTimer();
    ASSERT_EQ(f.core.S.recording.SampleCountdown, 7);

    c.act(f.core);
    EXPECT_EQ(f.core.S.recording.SampleCountdown, c.reloads ? 10 : 7);
    EXPECT_EQ(f.core.C.recall.TimeH, c.h);
    EXPECT_EQ(f.core.C.recall.TimeM, c.m);
    EXPECT_EQ(f.core.C.recall.TimeS, c.s);
    EXPECT_TRUE(f.messages.errors.empty());
}

void click(FcommCore& core, bool checked)
{
    core.C.recall.RecallCheck = checked;
    core.RecallCheckClick();
}

void keyUp(FcommCore& core, const char* h, const char* m, const char* s)
{
    core.C.recall.TimeH = h;
    core.C.recall.TimeM = m;
    core.C.recall.TimeS = s;
    core.TimeHKeyUp();
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, RecallEditChange,
    ::testing::Values(
        EditChangeCase{"CheckingPresetsMidnight", [](FcommCore& c) { click(c, true); }, true, "00", "00", "00"},
        EditChangeCase{"UncheckingPresetsTheLastSecond",
                       [](FcommCore& c) {
                           c.C.recall.TimeH = c.C.recall.TimeM = c.C.recall.TimeS = "00";
                           click(c, false);
                       },
                       true, "23", "59", "59"},
        EditChangeCase{"UncheckingWithTheLastSecondShownChangesNothing", [](FcommCore& c) { click(c, false); }, false,
                       "23", "59", "59"},
        EditChangeCase{"OnlyTheSecondsChange",
                       [](FcommCore& c) {
                           c.C.recall.TimeH = c.C.recall.TimeM = "00";
                           click(c, true);
                       },
                       true, "00", "00", "00"},
        EditChangeCase{"HourOutOfRangeIsReset", [](FcommCore& c) { keyUp(c, "25", "10", "10"); }, true, "00", "10",
                       "10"},
        EditChangeCase{"SecondOutOfRangeIsReset", [](FcommCore& c) { keyUp(c, "12", "10", "60"); }, true, "12", "10",
                       "00"},
        EditChangeCase{"FieldsInRangeStayAsTyped", [](FcommCore& c) { keyUp(c, "23", "59", "59"); }, false, "23",
                       "59", "59"}),
    [](const ::testing::TestParamInfo<EditChangeCase>& p) { return std::string(p.param.name); });

TEST(RecallEditChange, ABadIntervalIsReportedForEachChangeAndTheClickStillLoadsTheStamp)
{
    CoreFixture f;
    f.core.S.recording.SampleCountdown = 4;
    f.core.C.recording.RecordSITime = "9x";  // pasted: no number
    click(f.core, true);
    EXPECT_EQ(f.messages.errors, std::vector<std::string>(3, "'9x' is not a valid integer value"));
    EXPECT_EQ(f.core.S.recording.SampleCountdown, 4);
    EXPECT_EQ(f.core.C.recall.TimeS, "00");
    EXPECT_EQ(f.core.S.stamp.StampHour, 0);
    EXPECT_EQ(f.core.S.stamp.StampMinute, 0);
    EXPECT_EQ(f.core.S.stamp.StampSecond, 0);
}

} // namespace
