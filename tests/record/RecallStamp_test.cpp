// Recall time stamps: the carry of seconds into minutes and hours.
#include <gtest/gtest.h>

#include <random>

#include "base/IntegerValue.h"
#include "record/RecallStamp.h"
#include "record/TimeText.h"
#include "tests/support/RecordingEdges.h"

using namespace valdrin;

namespace {
// The carry loop step by step, as the meter's recall mode counts it.
void referenceStep(int64_t& h, int64_t& m, int64_t& s, int64_t step)
{
    s += step;
    while (s > 59) {
        s -= 60;
        ++m;
        if (m > 59) {
            m -= 60;
            ++h;
            if (h > 23)
                h = 0;
        }
    }
}
} // namespace

TEST(RecallStamp, ClosedFormCarriesExactlyAsTheLoop)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> part(-5, 200), step(0, 20000);
    test::FixedClock clock;
    for (int i = 0; i < 20000; ++i) {
        StampState stamp;
        stamp.StampHour = part(random) % 40;
        stamp.StampMinute = part(random);
        stamp.StampSecond = part(random);
        RecallControls controls;
        controls.RecallCheck = true;
        const int interval = i % 3 == 0 ? step(random) % 130 : step(random);
        controls.TimeInt = std::to_string(interval);
        int64_t h = stamp.StampHour, m = stamp.StampMinute, s = stamp.StampSecond;
        referenceStep(h, m, s, interval);
        advanceStamp(stamp, controls, clock);
        ASSERT_EQ(std::tuple(stamp.StampHour, stamp.StampMinute, stamp.StampSecond), std::tuple(h, m, s))
            << "interval " << interval;
    }
}

TEST(RecallStamp, HugeIntervalCostsOneStep)
{
    StampState stamp;
    RecallControls controls;
    controls.RecallCheck = true;
    controls.TimeInt = "2147483647";
    test::FixedClock clock;
    advanceStamp(stamp, controls, clock);
    // 2147483647 s = 35791394 min 7 s; 35791394 min = 596523 h 14 min; 596523 h = 24855 d 3 h.
    EXPECT_EQ(std::tuple(stamp.StampHour, stamp.StampMinute, stamp.StampSecond), std::tuple(3, 14, 7));
}

TEST(RecallStamp, CheckBoxPresetsAndKeyUpChecksRanges)
{
    StampState stamp;
    RecallControls controls;
    controls.RecallCheck = true;
    recallCheckClicked(stamp, controls);
    EXPECT_EQ(controls.TimeH, "00");
    controls.RecallCheck = false;
    recallCheckClicked(stamp, controls);
    EXPECT_EQ(std::tuple(stamp.StampHour, stamp.StampMinute, stamp.StampSecond), std::tuple(23, 59, 59));

    test::RecordingMessages messages;
    controls.TimeH = "25";
    controls.TimeM = "07";
    checkTimeEdits(stamp, controls, messages);
    EXPECT_EQ(controls.TimeH, "00");
    EXPECT_EQ(stamp.StampHour, 23);  // keeps its value until the next key
    EXPECT_EQ(stamp.StampMinute, 7);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Input error!");

    controls.TimeS = "";
    EXPECT_THROW(checkTimeEdits(stamp, controls, messages), ConvertError);
}

TEST(RecallStamp, OffTakesTheClockOnTakesNoDate)
{
    StampState stamp;
    RecallControls controls;
    test::FixedClock clock;
    advanceStamp(stamp, controls, clock);
    EXPECT_EQ(stamp.StampTime, clock.days);
    controls.RecallCheck = true;
    advanceStamp(stamp, controls, clock);
    EXPECT_LT(stamp.StampTime, 1.0);
    EXPECT_EQ(timeOfDayMs(clock.days), (14 * 3600 + 3 * 60 + 27) * 1000);
}
