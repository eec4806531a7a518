// Start-up: the panel's first state, the count families and the variant switches.
#include <gtest/gtest.h>

#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

TEST(StartUp, PanelShowsThreeNinesNinesWithMinusAndNoFramesIndicator)
{
    CoreFixture f;
    EXPECT_EQ(f.digits(), "39999");
    std::size_t shownCount = 0;
    for (bool on : f.core.Lcd.shownFlags)
        shownCount += on;
    EXPECT_EQ(shownCount, 6u);  // five digits and the minus sign
    EXPECT_TRUE(f.shown(Lcd::LcdFH));
    EXPECT_TRUE(f.core.Lcd.CONokN);
    EXPECT_FALSE(f.core.Lcd.CONok);
    EXPECT_FALSE(f.core.Lcd.oltext);
    EXPECT_EQ(f.core.Lcd.PBar2Position, 20);
    EXPECT_EQ(f.core.C.Caption, "Valdrin Interface Program V2.00");
    EXPECT_EQ(f.core.serialAssembler, SerialAssembler::Zentor);
    EXPECT_EQ(f.core.S.dial.NeedleTip.x, f.core.S.dial.NeedleBase.x);  // needle upright at zero
}

TEST(StartUp, CountFamilies)
{
    struct Case {
        const char* family;
        int32_t fullScale, dialCentre, barFull, dialTicks;
        float upper, lower, runningMax, runningMin;
        const char *setmax, *setmin, *mintext, *maxtext;
        int32_t barMax;
    };
    const Case cases[] = {
        {"4", 40000, 400, 40, 80, 40002, -40002, -40001, 40001, "40000", "-40000", "40001", "-40001", 40},
        {"6", 6000, 600, 60, 120, 6000, -6000, -6001, 6001, "6000", "-6000", "6001", "-6001", 40},
        {"34", 3400, 340, 34, 68, 3400, -3400, -3401, 3401, "3400", "-3400", "3401", "-3401", 40},
        {"2", 20000, 200, 20, 40, 20000, -20000, -20001, 20001, "20000", "-20000", "20001", "-20001", 20},
    };
    for (const Case& c : cases) {
        CoreOptions options;
        options.CountFamily = c.family;
        CoreFixture f(options);
        SCOPED_TRACE(c.family);
        const SharedState& s = f.core.S;
        EXPECT_EQ(s.FullScale, c.fullScale);
        EXPECT_EQ(s.DialCentre, c.dialCentre);
        EXPECT_EQ(s.BarFull, c.barFull);
        EXPECT_EQ(s.DialTicks, c.dialTicks);
        EXPECT_EQ(s.UpperLimit, c.upper);  // other families: the edits' handlers ran
        EXPECT_EQ(s.LowerLimit, c.lower);
        EXPECT_EQ(s.RunningMax, c.runningMax);
        EXPECT_EQ(s.RunningMin, c.runningMin);
        EXPECT_EQ(f.core.C.limits.Setmax, c.setmax);
        EXPECT_EQ(f.core.C.limits.SetMin, c.setmin);
        EXPECT_EQ(f.core.C.limits.MinText, c.mintext);
        EXPECT_EQ(f.core.C.limits.MaxText, c.maxtext);
        EXPECT_EQ(f.core.Lcd.PBar2Max, c.barMax);
        EXPECT_EQ(s.chart.leftAxisMaximum(), c.fullScale);
        EXPECT_EQ(s.chart.leftAxisMinimum(), -c.fullScale);
    }
}

TEST(StartUp, TeskarSwitchWinsOverQuellix)
{
    CoreOptions options;
    options.switches.IFTeskar = true;
    CoreFixture f(options);
    EXPECT_EQ(f.core.C.Caption, "Teskar Interface Program _Ver: 1.00");
    EXPECT_EQ(f.core.serialAssembler, SerialAssembler::Teskar);

    CoreOptions neither;
    neither.switches.IFQuellix = false;
    CoreFixture g(neither);
    EXPECT_EQ(g.core.C.Caption, "");
    EXPECT_EQ(g.core.serialAssembler, SerialAssembler::None);
}
