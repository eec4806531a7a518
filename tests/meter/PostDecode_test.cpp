// The post-decode block: alarm, traces and extremes, dial, time stamp, bar, chart.
#include <gtest/gtest.h>

#include "record/TimeText.h"
#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

TEST(PostDecode, FirstFrameStartsATraceAndEmptiesTheChart)
{
    CoreFixture f;
    f.core.S.chart.addPoint(0, 5);
    f.core.S.chart.addPoint(1, 5);
    f.zentor({"000000000"});
    EXPECT_TRUE(f.core.lastReport().trace);
    EXPECT_EQ(f.core.S.chart.pointCount(0), 2u);  // the sample point and this frame's
    EXPECT_EQ(f.core.S.chart.pointCount(1), 2u);
    EXPECT_EQ(f.core.S.chart.pointValue(1, 1), 0);
}

TEST(PostDecode, TraceFollowsUnitAndPointNotCoupling)
{
    CoreFixture f;
    struct Step {
        const char* frame;
        bool trace;
    };
    const Step steps[] = {
        {"400001221", true},   // 40.000 V
        {"400001211", false},  // AC instead of DC: same unit, same point
        {"400003221", true},   // 400.00 V: the point moved
        {"400007221", true},   // range 7 has no point: "none" differs from 2
        {"123457221", false},  // still no point
        {"400001221", true},   // back to a point although the unit stays "V"
        {"400003321", true},   // mV
    };
    for (const Step& s : steps) {
        f.zentor({s.frame});
        EXPECT_EQ(f.core.lastReport().trace, s.trace) << s.frame;
    }
}

TEST(PostDecode, ExtremesCaptionsLagOneFrameAtATraceStart)
{
    CoreFixture f;
    f.zentor({"200001121", "300001121", "100001121"});  // the first frame starts the trace
    EXPECT_EQ(f.core.C.limits.MaxText, "3.0000");
    EXPECT_EQ(f.core.C.limits.MinText, "1.0000");
    f.zentor({"050003321"});  // mV: a new trace
    EXPECT_EQ(f.core.C.limits.MaxText, "3.0000");
    EXPECT_EQ(f.core.C.limits.MinText, "1.0000");
    EXPECT_EQ(f.core.C.limits.MaxTextU, "mV");
    EXPECT_EQ(f.core.C.limits.MinTextU, "mV");
    f.zentor({"050003321"});
    EXPECT_EQ(f.core.C.limits.MaxText, "050.00");
    EXPECT_EQ(f.core.C.limits.MinText, "050.00");
}

TEST(PostDecode, UpperLimitAlarmIsStrictAndArmedByItsCheckBox)
{
    CoreFixture f;
    f.core.C.limits.Setmax = "1000";
    f.core.C.limits.SetMaxB = true;
    f.core.SetmaxExit();
    struct Step {
        const char* frame;
        bool alarm;
    };
    for (const Step& s : {Step{"010001121", false}, Step{"010011121", true}, Step{"010011121", true},
                          Step{"009991121", false}}) {
        f.zentor({s.frame});
        EXPECT_EQ(f.core.Lcd.oltext, s.alarm) << s.frame;
    }
    EXPECT_EQ(f.beeper.beeps, 2);  // once for every frame out of limits
    f.core.C.limits.SetMaxB = false;
    f.core.SetmaxExit();
    f.zentor({"400001121"});
    EXPECT_FALSE(f.core.Lcd.oltext);

    CoreFixture low;
    low.core.C.limits.SetMin = "-5";
    low.core.C.limits.SetMinB = true;
    low.core.SetMinExit();
    low.zentor({"000061125"});
    EXPECT_TRUE(low.core.Lcd.oltext);
}

TEST(PostDecode, OverloadAgainstAFullScaleLimit)
{
    for (auto [limit, alarm] : {std::pair{"40000", false}, std::pair{"39999", true}}) {
        CoreFixture f;
        f.core.C.limits.Setmax = limit;
        f.core.C.limits.SetMaxB = true;
        f.core.SetmaxExit();
        f.zentor({"A30003400"});
        EXPECT_EQ(f.core.Lcd.oltext, alarm) << limit;
    }
}

TEST(PostDecode, DialBarAndChartPositions)
{
    struct Case {
        const char* frame;
        int32_t dial, bar, chart;
    };
    const Case cases[] = {
        {"123451121", 523, 12, 12345}, {"123451125", 277, 12, -12345}, {"A30003400", 800, 40, 40000},
        {"A30003404", 0, 40, -40000},  {"001231121", 401, 1, 123},     {"019991121", 419, 1, 1999},
        {"AC0001100", 400, 1, 0},
    };
    for (const Case& c : cases) {
        CoreFixture f;
        f.zentor({c.frame});
        EXPECT_EQ(f.core.lastReport().dial, c.dial) << c.frame;
        EXPECT_EQ(f.core.Lcd.PBar2Position, c.bar) << c.frame;
        EXPECT_EQ(f.core.lastReport().chart, c.chart) << c.frame;
        EXPECT_EQ(f.core.S.chart.pointValue(0, 1), c.chart) << c.frame;
        EXPECT_EQ(f.core.S.chart.pointValue(1, 1), c.chart) << c.frame;
    }
}

TEST(PostDecode, RecallStampAdvancesBeforeRecording)
{
    struct Case {
        const char *h, *m, *s, *interval, *expected;
    };
    const Case cases[] = {
        {"23", "59", "59", "1", "00:00:00"},
        {"10", "58", "30", "125", "11:00:35"},
        {"10", "00", "00", "3600", "11:00:00"},
        {"00", "00", "00", "0", "00:00:00"},
    };
    for (const Case& c : cases) {
        CoreFixture f;
        f.core.C.recall.RecallCheck = true;
        f.core.RecallCheckClick();
        f.core.C.recall.TimeH = c.h;
        f.core.C.recall.TimeM = c.m;
        f.core.C.recall.TimeS = c.s;
        f.core.TimeHKeyUp();
        f.core.C.recall.TimeInt = c.interval;
        f.zentor({"123451121"});
        ASSERT_EQ(f.core.cds1.size(), 1u);
        EXPECT_EQ(formatTimeOfDay(*f.core.cds1.timeMs(0), "%H:%M:%S"), c.expected) << c.h << c.m << c.s;
    }
}

TEST(PostDecode, EmptyIntervalInRecallModeSkipsRecordingBarAndChart)
{
    CoreFixture f;
    f.core.C.recall.RecallCheck = true;
    f.core.RecallCheckClick();
    f.core.C.recall.TimeInt = "";
    f.zentor({"123451121"});
    EXPECT_EQ(f.core.cds1.size(), 0u);
    ASSERT_EQ(f.messages.errors.size(), 1u);
    EXPECT_EQ(f.messages.errors[0], "'' is not a valid integer value");
    EXPECT_EQ(f.core.lastReport().dial, 523);        // before the stamp
    EXPECT_FALSE(f.core.lastReport().chart.has_value());  // after it
    EXPECT_EQ(f.core.Lcd.PBar2Position, 20);
}

TEST(PostDecode, WithoutRecallTheTableTakesTheClock)
{
    CoreFixture f;
    f.core.S.stamp.StampTime = 0.5;
    f.zentor({"123451121"});
    EXPECT_EQ(formatTimeOfDay(*f.core.cds1.timeMs(0), "%H:%M:%S"), "14:03:27");
}

TEST(Watchdog, EveryThirdTickShowsNoFramesAndTheIdleCableEndsAt1900)
{
    CoreFixture f;
    int released = 0;
    f.core.usbIdleLimit = [&] { ++released; };
    f.zentor({"123451121"});
    EXPECT_TRUE(f.core.Lcd.CONok);
    f.core.ConTimerTimer();
    f.core.ConTimerTimer();
    EXPECT_TRUE(f.core.Lcd.CONok);
    f.core.ConTimerTimer();
    EXPECT_FALSE(f.core.Lcd.CONok);
    EXPECT_TRUE(f.core.Lcd.CONokN);

    for (auto [idle, ends] : {std::pair{1899, false}, std::pair{1900, true}}) {
        f.core.S.UsbIdleReports = idle;
        f.messages.shown.clear();
        for (int i = 0; i < 3; ++i)
            f.core.ConTimerTimer();
        EXPECT_EQ(f.messages.shown.size(), ends ? 1u : 0u) << idle;
        EXPECT_EQ(f.core.S.UsbIdleReports, ends ? 0 : idle);
    }
    EXPECT_EQ(released, 1);
    EXPECT_EQ(f.messages.shown.back().text,
              "USB interface cable is securely connected, please check if the meter is ready.");
}
