// The Brevast decoder: range, four digit characters, function and status nibbles.
#include <gtest/gtest.h>

#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

namespace {
CoreOptions brevastOptions(bool dornel = false, bool brevast = false)
{
    CoreOptions o;
    o.switches.IFDornel = dornel;
    o.switches.IFBrevast = brevast;
    return o;
}

std::string visibleDigits(const CoreFixture& f)
{
    std::string out;
    for (Lcd e : {Lcd::LcdDa, Lcd::LcdDb, Lcd::LcdDc, Lcd::LcdDd})
        out += f.shown(e) ? '1' : '0';
    return out;
}
} // namespace

TEST(BrevastDecoder, Readings)
{
    struct Case {
        const char* frame;  // R D1 D2 D3 D4 F status8 char9 status10
        bool dornel, brevast;
        const char *value, *unit, *mode, *range;
        float number;
        const char* visible;  // LcdDa..LcdDd
    };
    const Case cases[] = {
        {"11234B00A", false, false, "1.234", "V", "DC", "AUTO", 1234, "1111"},
        {"40012B00A", false, false, "0012", "V", "DC", "AUTO", 12, "0011"},
        {"012343100", false, false, "0L.", "*", "", "MANU", 40001, "0110"},
        {"001233100", false, false, "0L.", "*", "", "MANU", 40001, "0010"},  // the point-3 rule hides digit 2 too
        {"012345000", false, false, "123", "&*", "", "MANU", 123, "1111"},
        {"012345000", true, false, "123", "&**", "", "MANU", 123, "1111"},
        {"012341000", false, false, "1.23", ")V", "", "MANU", 123, "1111"},
        {"012342000", false, false, "1234", "Hz", "", "MANU", 1234, "1111"},
        {"012342000", true, false, "1.234", "kHz", "", "MANU", 1234, "1111"},
        {"012342000", false, true, "1.234", "kHz", "", "MANU", 1234, "1111"},
        {"11234B01A", false, false, "12.34", "kHz", "DC", "AUTO", 1234, "1111"},
        {"012344000", false, false, "1234", "?", "", "MANU", 1234, "1111"},
        {"012344800", false, false, "1234", "#", "", "MANU", 1234, "1111"},
        {"312343404", false, false, "-123.4", "k*", "AC", "MANU", -1234, "1111"},
        {"312346000", false, false, "1.234", "uF", "", "MANU", 1234, "1111"},
        {"012342800", false, false, "12.34", "kRPM", "", "MANU", 1234, "1111"},
    };
    for (const Case& c : cases) {
        CoreFixture f(brevastOptions(c.dornel, c.brevast));
        f.brevast({c.frame});
        SCOPED_TRACE(std::string(c.frame) + (c.dornel ? " IFDornel" : "") + (c.brevast ? " IFBrevast" : ""));
        EXPECT_EQ(f.core.frameErrors, 0u);
        EXPECT_EQ(f.core.S.ReadingValue, c.value);
        EXPECT_EQ(f.core.S.ReadingUnit, c.unit);
        EXPECT_EQ(f.core.S.ReadingMode, c.mode);
        EXPECT_EQ(f.core.S.ReadingRange, c.range);
        EXPECT_EQ(f.core.S.ReadingNumber, c.number);
        EXPECT_EQ(visibleDigits(f), c.visible);
    }
}

TEST(BrevastDecoder, PanelOfVoltsOverloadAndContinuity)
{
    CoreFixture volts;
    volts.brevast({"11234B00A"});
    for (Lcd e : {Lcd::LcdV, Lcd::LcdDc1, Lcd::LcdAuto, Lcd::LCDRS, Lcd::LCD232C, Lcd::LcdP1})
        EXPECT_TRUE(volts.shown(e)) << lcdName(e);
    EXPECT_EQ(volts.digits(), "31234");
    EXPECT_EQ(volts.core.Memo1.back(), "A11234B00AD");

    CoreFixture over;
    over.brevast({"012343100"});
    EXPECT_EQ(over.core.lastReport().dial, 800);
    EXPECT_EQ(over.core.Lcd.PBar2Position, 40);
    EXPECT_EQ(over.core.lastReport().chart, 40000);  // full scale, not one more
    EXPECT_EQ(over.digits(), "310@4");

    CoreFixture diode;
    diode.brevast({"012341100"});
    EXPECT_EQ(diode.core.Lcd.PBar2Position, 25);

    CoreFixture beep;
    beep.brevast({"012345000"});
    EXPECT_TRUE(beep.shown(Lcd::LCDFm));
    EXPECT_TRUE(beep.shown(Lcd::LCDohm));
    EXPECT_FALSE(beep.shown(Lcd::LcdP3));
    EXPECT_EQ(beep.core.Lcd.caption(Digit::LcdDd), "");

    CoreFixture hertz;
    hertz.brevast({"11234B01A"});
    EXPECT_FALSE(hertz.shown(Lcd::LcdV));
    EXPECT_TRUE(hertz.shown(Lcd::LCDHz));
    EXPECT_TRUE(hertz.shown(Lcd::LCDk));
}

TEST(BrevastDecoder, FrameLogIsBounded)
{
    CoreFixture f;
    for (int i = 0; i < 10010; ++i)
        f.brevast({"11234B00A"});
    EXPECT_EQ(f.core.Memo1.size(), 10000u);
}
