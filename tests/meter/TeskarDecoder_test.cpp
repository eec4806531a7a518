// The Teskar decoder: segment and symbol bits of fourteen bytes.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

namespace {
struct TeskarCore : CoreFixture {
    TeskarCore(CoreOptions options = {}) : CoreFixture(withTeskar(options)) {}
    static CoreOptions withTeskar(CoreOptions o)
    {
        o.switches.IFTeskar = true;
        return o;
    }
    void frame(const TeskarFrame& f) { teskar({f.nibbles()}); }
};

bool faceShows(const FcommCore& core, std::string_view text)
{
    const auto& face = core.S.dial.face();
    return std::any_of(face.begin(), face.end(), [&](const DialItem& i) { return i.text == text; });
}
} // namespace

TEST(TeskarDecoder, SegmentTestFrameLightsEverything)
{
    TeskarCore f;
    f.teskar({"FFFFFFFFFFFFFF"});
    EXPECT_EQ(f.digits(), "38888");  // LcdD0 is not this family's
    EXPECT_EQ(f.core.S.ReadingValue, "-8.8.8.8");
    EXPECT_EQ(f.core.S.ReadingMode, "DC");
    EXPECT_EQ(f.core.S.ReadingRange, "AUTO");
    EXPECT_EQ(f.core.S.ReadingUnit, "unkm%MF*AVHz");
    EXPECT_FALSE(f.shown(Lcd::LCDCS));
    EXPECT_TRUE(f.core.S.FrequencyMode);
    EXPECT_EQ(f.core.S.ReadingNumber, -8888);
    for (Lcd e : {Lcd::LcdFH, Lcd::LcdP1, Lcd::LcdP2, Lcd::LcdP3, Lcd::LCDRS, Lcd::LCD232C, Lcd::LCDHold, Lcd::LCDRec,
                  Lcd::LCDBATT, Lcd::LCDDI, Lcd::LCDFm})
        EXPECT_TRUE(f.shown(e)) << lcdName(e);
    EXPECT_FALSE(f.shown(Lcd::LcdP0));
}

TEST(TeskarDecoder, Readings)
{
    struct Case {
        const char* name;
        TeskarFrame frame;
        const char *value, *unit, *mode, *range;
        float number;
    };
    const Case cases[] = {
        {"volts", TeskarFrame().digits("1234").bit(4, 8).bit(13, 4).bit(1, 4).bit(1, 2), "1.234", "V", "DC", "AUTO", 1234},
        {"temperature wins", TeskarFrame().digits("0123").bit(14, 1).bit(13, 8).bit(1, 8).bit(10, 2), "0123", "#", "", "MANU", 123},
        {"L outside digit 3 is blank", TeskarFrame().digits("L12L"), "12", "", "", "MANU", 12},
        {"negative overload", TeskarFrame().bit(2, 8).digit(2, '0').digit(3, 'L').bit(6, 8), "-0.L", "", "", "MANU", -40000},
        {"kilohertz", TeskarFrame().digits("1000").bit(10, 2).bit(13, 2).bit(6, 8), "10.00", "kHz", "", "AUTO", 1000},
        {"microamps AC", TeskarFrame().digits("0050").bit(10, 8).bit(13, 8).bit(1, 8), "0050", "uA", "AC", "MANU", 50},
    };
    for (const Case& c : cases) {
        TeskarCore f;
        f.frame(c.frame);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(f.core.frameErrors, 0u);
        EXPECT_EQ(f.core.S.ReadingValue, c.value);
        EXPECT_EQ(f.core.S.ReadingUnit, c.unit);
        EXPECT_EQ(f.core.S.ReadingMode, c.mode);
        EXPECT_EQ(f.core.S.ReadingRange, c.range);
        EXPECT_EQ(f.core.S.ReadingNumber, c.number);
    }
}

TEST(TeskarDecoder, NegativeOverloadDrivesDialBarAndChart)
{
    TeskarCore f;
    f.frame(TeskarFrame().bit(2, 8).digit(2, '0').digit(3, 'L').bit(6, 8));
    EXPECT_EQ(f.digits(), "3_0@_");
    EXPECT_EQ(f.core.lastReport().dial, 0);
    EXPECT_EQ(f.core.Lcd.PBar2Position, 40);
    EXPECT_EQ(f.core.lastReport().chart, -40000);
}

TEST(TeskarDecoder, FrequencyModeRedrawsDialAndAxisOnlyWhenItChanges)
{
    TeskarCore f;
    const TeskarFrame hertz = TeskarFrame().digits("1000").bit(13, 2);
    const TeskarFrame volts = TeskarFrame().digits("1000").bit(13, 4);
    f.frame(hertz);
    EXPECT_TRUE(faceShows(f.core, "-50"));
    EXPECT_EQ(f.core.S.chart.leftAxisMaximum(), 5000);
    EXPECT_EQ(f.core.S.chart.leftAxisMinimum(), -5000);
    f.core.S.chart.setLeftAxis(-1, 1);  // a redraw now would put the axis back
    f.frame(hertz);
    EXPECT_EQ(f.core.S.chart.leftAxisMaximum(), 1);
    f.frame(volts);
    EXPECT_FALSE(faceShows(f.core, "-50"));
    EXPECT_TRUE(faceShows(f.core, "-40"));
    EXPECT_EQ(f.core.S.chart.leftAxisMaximum(), 40000);
    EXPECT_EQ(f.core.S.chart.leftAxisMinimum(), -40000);
}

TEST(TeskarDecoder, MovedPointStartsATraceCommaSeparatorAndTrmsSwitch)
{
    CoreOptions options;
    options.LocaleDecimal = ",";
    options.switches.IFMorvane = true;
    TeskarCore f(options);
    f.frame(TeskarFrame().digits("1234").bit(4, 8).bit(13, 4).bit(1, 8));
    EXPECT_EQ(f.core.S.ReadingValue, "1,234");
    EXPECT_EQ(f.core.S.ReadingNumber, 1234);
    EXPECT_TRUE(f.shown(Lcd::LCDTRMS));
    f.frame(TeskarFrame().digits("1234").bit(6, 8).bit(13, 4));
    EXPECT_TRUE(f.core.lastReport().trace);
    EXPECT_FALSE(f.shown(Lcd::LCDTRMS));
    EXPECT_FALSE(f.shown(Lcd::LCDTRMST));
}

TEST(TeskarDecoder, BlankDisplayFailsBeforeTheBlockAndKeepsTheOldDigits)
{
    TeskarCore f;
    f.frame(TeskarFrame().digits("1234"));
    f.frame(TeskarFrame().bit(2, 8));  // a lone minus sign
    ASSERT_EQ(f.messages.errors.size(), 1u);
    EXPECT_EQ(f.messages.errors[0], "'-' is not a valid integer value");
    EXPECT_EQ(f.digits(), "31234");
    EXPECT_TRUE(f.shown(Lcd::LcdFH));  // the sign already shows the new frame
    EXPECT_EQ(f.core.cds1.size(), 1u);
}
