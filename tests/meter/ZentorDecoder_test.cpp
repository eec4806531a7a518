// The Zentor decoder: five digits, range, function, coupling and status nibbles.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

namespace {
std::vector<std::string> lit(const FcommCore& core)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kLcdCount; ++i)
        if (core.Lcd.shownFlags[i])
            names.emplace_back(kLcdNames[i]);
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST(ZentorDecoder, ReadingsOfTheFunctionTable)
{
    struct Case {
        const char* frame;
        const char* value;
        const char* unit;
        const char* mode;
        const char* range;
        float number;
        const char* digits;  // captions, '_' for empty
    };
    const Case cases[] = {
        {"123451121", "1.2345", "V", "DC", "AUTO", 12345, "12345"},
        {"123451125", "-1.2345", "V", "DC", "AUTO", -12345, "12345"},
        {"123451123", "1.2345", "V", "DC", "", 12345, "12345"},
        {"004703400", "00.470", "k*", "", "", 470, "00470"},
        {"123454C04", "123.45", "%", "", "", 12345, "12345"},
        {"A30003400", ".0L", "k*", "", "", 40000, "__0@_"},
        {"A30003404", "-.0L", "k*", "", "", -40000, "__0@_"},
        {"AC0001100", "L0.", "V", "DC", "", 0, "__@0_"},
        {"123B51121", "0.0000", "V", "DC", "AUTO", 0, "00000"},
        {"1234A1121", "1.234", "V", "DC", "AUTO", 1234, "1234_"},
        {"123450000", "12345", "", "DC", "", 12345, "12345"},
        {"123457120", "12345", "V", "DC", "", 12345, "12345"},
        {"123451131", "1.2345", "V", "AC+DC", "AUTO", 12345, "12345"},
        {"123450B10", "1.2345", "V)", "AC", "", 12345, "12345"},
        {"123452F01", "123.45", "mA%", "", "AUTO", 12345, "12345"},
        {"123452501", "123.45", "nF", "", "AUTO", 12345, "12345"},
        {"123456509", "1.2345", "mF", "", "AUTO", 12345, "12345"},  // status 9: the 8 bit is unused
    };
    for (const Case& c : cases) {
        CoreFixture f;
        f.zentor({c.frame});
        SCOPED_TRACE(c.frame);
        EXPECT_EQ(f.core.frameErrors, 0u);
        EXPECT_EQ(f.core.S.ReadingValue, c.value);
        EXPECT_EQ(f.core.S.ReadingUnit, c.unit);
        EXPECT_EQ(f.core.S.ReadingMode, c.mode);
        EXPECT_EQ(f.core.S.ReadingRange, c.range);
        EXPECT_EQ(f.core.S.ReadingNumber, c.number);
        EXPECT_EQ(f.digits(), c.digits);
    }
}

TEST(ZentorDecoder, PanelElementsOfTypicalFrames)
{
    struct Case {
        const char* frame;
        std::vector<std::string> lit;
    };
    const std::vector<std::string> five = {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd"};
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.end(), five.begin(), five.end());
        std::sort(extra.begin(), extra.end());
        return extra;
    };
    const Case cases[] = {
        {"123451121", with({"LcdAuto", "LcdDc1", "LcdP0", "LcdV"})},
        {"123451125", with({"LcdAuto", "LcdDc1", "LcdFH", "LcdP0", "LcdV"})},
        {"123454C04", with({"LCDBF", "LcdP2"})},  // percent: no frequency unit, no minus sign
        {"A30003400", with({"LCDk", "LCDohm", "LcdP1"})},
        {"AC0001100", with({"LcdP0", "LcdP3", "LcdV"})},
        {"123451131", with({"LCDJa", "LCDTRMS", "LCDTRMST", "LcdAC", "LcdAuto", "LcdDc1", "LcdP0", "LcdV"})},
        {"123450A00", with({"LCDFm", "LCDohm", "LcdP2"})},
    };
    for (const Case& c : cases) {
        CoreFixture f;
        f.zentor({c.frame});
        EXPECT_EQ(lit(f.core), c.lit) << c.frame;
    }
}

TEST(ZentorDecoder, CommaAsDecimalSeparator)
{
    CoreOptions options;
    options.LocaleDecimal = ",";
    CoreFixture f(options);
    f.zentor({"123451121", "AC0001100"});
    EXPECT_EQ(f.core.cds1.text(0, Field::Value), "1,2345");
    EXPECT_EQ(f.core.S.ReadingValue, "L0.");  // the L0 display keeps its full stop
}

TEST(ZentorDecoder, ConversionErrorStopsTheFrameWhereItFails)
{
    CoreFixture f;
    f.zentor({"123451121"});
    const float before = f.core.S.ReadingNumber;
    f.zentor({"98765B121"});
    ASSERT_EQ(f.messages.errors.size(), 1u);
    EXPECT_EQ(f.messages.errors[0], "'B' is not a valid integer value");
    EXPECT_EQ(f.digits(), "98765");  // set before the range code was read
    EXPECT_EQ(f.core.S.ReadingNumber, before);
    EXPECT_EQ(f.core.cds1.size(), 1u);
    ASSERT_TRUE(f.core.lastReport().error.has_value());
    f.zentor({"123451121"});
    EXPECT_EQ(f.core.cds1.size(), 2u);
    EXPECT_EQ(f.core.cds1.no(1), 2);
}
