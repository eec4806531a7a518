// LcdDisplayZentor: nine coded nibbles (five digits, range, function, coupling,
// status) become the LCD state and the Reading.
#include <array>
#include <initializer_list>

#include "meter/FcommCore.h"
#include "meter/FrameChars.h"

namespace valdrin {

namespace {

constexpr int8_t kAnyRange = -1;
constexpr int8_t kNone = -1;

struct RangeRow {
    int8_t range;      // kAnyRange matches every range code
    Lcd prefix;        // Lcd::Count: no prefix element
    const char* unit;  // ReadingUnit, prefix first
    int8_t point;      // point index, kNone for "none"
};

struct FunctionRow {
    std::initializer_list<valdrin::Lcd> shown;
    std::initializer_list<RangeRow> ranges;  // tried in order
    RangeRow other;                          // a range code no row lists
};

constexpr Lcd kNoPrefix = Lcd::Count;

const std::array<FunctionRow, 16>& functionTable()
{
    static const std::array<FunctionRow, 16> table = {{
        /* 0 */ {{}, {}, {kAnyRange, kNoPrefix, "", kNone}},
        /* 1 */ {{Lcd::LcdV}, {{1, kNoPrefix, "V", 0}, {2, kNoPrefix, "V", 1}, {3, kNoPrefix, "V", 2}, {4, kNoPrefix, "V", 3}}, {kAnyRange, kNoPrefix, "V", kNone}},
        /* 2 */ {{Lcd::LcdV}, {{1, kNoPrefix, "V", 0}, {2, kNoPrefix, "V", 1}, {3, kNoPrefix, "V", 2}, {4, kNoPrefix, "V", 3}}, {kAnyRange, kNoPrefix, "V", kNone}},
        /* 3 */ {{Lcd::LcdV, Lcd::Lcdm}, {}, {kAnyRange, kNoPrefix, "mV", 2}},
        /* 4 */ {{Lcd::LCDohm}, {{1, kNoPrefix, "*", 2}, {2, Lcd::LCDk, "k*", 0}, {3, Lcd::LCDk, "k*", 1}, {4, Lcd::LCDk, "k*", 2}, {5, Lcd::LCDM1, "M*", 0}, {6, Lcd::LCDM1, "M*", 1}}, {kAnyRange, kNoPrefix, "*", kNone}},
        /* 5 */ {{Lcd::LCDF}, {{1, Lcd::LCDn, "nF", 1}, {2, Lcd::LCDn, "nF", 2}, {3, Lcd::LCDu, "uF", 0}, {4, Lcd::LCDu, "uF", 1}, {5, Lcd::LCDu, "uF", 2}, {6, Lcd::Lcdm, "mF", 0}, {7, Lcd::Lcdm, "mF", 1}}, {kAnyRange, kNoPrefix, "F", kNone}},
        /* 6 */ {{Lcd::LCDCS}, {}, {kAnyRange, kNoPrefix, "#", 3}},
        /* 7 */ {{Lcd::LCDA}, {{0, Lcd::LCDu, "uA", 2}, {1, Lcd::LCDu, "uA", 3}}, {kAnyRange, kNoPrefix, "A", kNone}},
        /* 8 */ {{Lcd::LCDA}, {{0, Lcd::Lcdm, "mA", 1}, {1, Lcd::Lcdm, "mA", 2}}, {kAnyRange, kNoPrefix, "A", kNone}},
        /* 9 */ {{Lcd::LCDA}, {}, {kAnyRange, kNoPrefix, "A", 1}},
        /* A */ {{Lcd::LCDFm, Lcd::LCDohm}, {}, {kAnyRange, kNoPrefix, "*&", 2}},
        /* B */ {{Lcd::LCDDI, Lcd::LcdV}, {}, {kAnyRange, kNoPrefix, "V)", 0}},
        /* C */ {{Lcd::LCDHz}, {{0, kNoPrefix, "Hz", 1}, {1, kNoPrefix, "Hz", 2}, {2, Lcd::LCDk, "kHz", 0}, {3, Lcd::LCDk, "kHz", 1}, {4, Lcd::LCDk, "kHz", 2}, {5, Lcd::LCDM1, "MHz", 0}, {6, Lcd::LCDM1, "MHz", 1}, {7, Lcd::LCDM1, "MHz", 2}}, {kAnyRange, kNoPrefix, "Hz", kNone}},
        /* D */ {{Lcd::LCDFS}, {}, {kAnyRange, kNoPrefix, "?", 3}},
        /* E */ {{Lcd::lcdW}, {}, {kAnyRange, kNoPrefix, "W", 3}},
        /* F */ {{Lcd::LCDBF}, {}, {kAnyRange, kNoPrefix, "mA%", 2}},
    }};
    return table;
}

// Function codes whose coupling code 0 still reads as DC.
constexpr bool dcWithoutCoupling(int32_t function)
{
    return function == 0 || function == 1 || function == 3 || function == 7 || function == 8 || function == 9;
}

} // namespace

void FcommCore::LcdDisplayZentor()
{
    const std::string& f = S.LastFrame;

    connectionStep();

    // Digits.
    char d0 = 0, da = 0, db = 0, dc = 0, dd = 0;
    if (frameCharOr0(f, 1) != 'A') {
        if (frameCharOr0(f, 4) == 'B') {
            d0 = da = db = dc = dd = '0';
        } else {
            d0 = frameCharOr0(f, 1);
            da = frameCharOr0(f, 2);
            db = frameCharOr0(f, 3);
            dc = frameCharOr0(f, 4);
            if (frameCharOr0(f, 5) != 'A')
                dd = frameCharOr0(f, 5);
        }
    } else if (frameCharOr0(f, 2) == 'C') {
        db = '@';  // the L0 display
        dc = '0';
    } else {
        db = '0';  // the overload display, read 0L
        dc = '@';
    }

    // Frame text and digit captions.
    setControlText(C.USBtxt, f);
    Lcd.setCaptions({d0, da, db, dc, dd});

    // The Reading and the unit elements start empty for this frame.
    S.ReadingMode.clear();
    S.ReadingRange.clear();
    S.ReadingUnit.clear();
    for (valdrin::Lcd e : {Lcd::LcdV, Lcd::Lcdm, Lcd::LCDohm, Lcd::LCDk, Lcd::LCDM1, Lcd::LCDF, Lcd::LCDn, Lcd::LCDu,
                  Lcd::LCDCS, Lcd::LCDA, Lcd::LCDHz, Lcd::LCDBF, Lcd::LCDFm, Lcd::LCDDI, Lcd::LCDFS, Lcd::lcdW})
        Lcd.hide(e);

    // The range code is converted for every frame, used or not.
    const int32_t range = charValue(frameChar(f, 6));
    const int32_t function = nibbleValue(frameChar(f, 7));

    // Function.
    std::optional<int32_t> pointIndex;
    if (function >= 0 && function <= 15) {
        const FunctionRow& row = functionTable()[static_cast<std::size_t>(function)];
        for (valdrin::Lcd e : row.shown)
            Lcd.show(e);
        const RangeRow* chosen = &row.other;
        for (const RangeRow& r : row.ranges)
            if (r.range == range) {
                chosen = &r;
                break;
            }
        if (chosen->prefix != kNoPrefix)
            Lcd.show(chosen->prefix);
        S.ReadingUnit = chosen->unit;
        if (chosen->point != kNone)
            pointIndex = chosen->point;
    }

    // Coupling.
    for (valdrin::Lcd e : {Lcd::LcdAC, Lcd::LCDJa, Lcd::LcdDc1, Lcd::LCDTRMST, Lcd::LCDTRMS})
        Lcd.hide(e);
    S.ReadingMode.clear();
    switch (charValue(frameChar(f, 8))) {
    case 0:
        if (dcWithoutCoupling(function))
            S.ReadingMode = "DC";
        break;
    case 1:
        for (valdrin::Lcd e : {Lcd::LcdAC, Lcd::LCDTRMST, Lcd::LCDTRMS})
            Lcd.show(e);
        S.ReadingMode = "AC";
        break;
    case 2:
        Lcd.show(Lcd::LcdDc1);
        S.ReadingMode = "DC";
        break;
    case 3:
        for (valdrin::Lcd e : {Lcd::LcdAC, Lcd::LCDTRMST, Lcd::LCDTRMS, Lcd::LCDJa, Lcd::LcdDc1})
            Lcd.show(e);
        S.ReadingMode = "AC+DC";
        break;
    default: break;
    }

    // Status bits: 8 unused, 4 minus, 2 suppresses AUTO, 1 AUTO.
    std::string_view sign;
    int32_t status = charValue(frameChar(f, 9));
    if (status >= 8)
        status -= 8;
    if (status >= 4) {
        sign = "-";
        Lcd.show(Lcd::LcdFH);
        status -= 4;
    } else {
        Lcd.hide(Lcd::LcdFH);
    }
    if (status == 1) {
        Lcd.show(Lcd::LcdAuto);
        S.ReadingRange = "AUTO";
    } else {
        Lcd.hide(Lcd::LcdAuto);
    }

    // A frequency function with the minus bit is a percentage.
    if (Lcd.shown(Lcd::LCDHz) && Lcd.shown(Lcd::LcdFH)) {
        pointIndex = 2;
        Lcd.hide(Lcd::LCDk);
        Lcd.hide(Lcd::LCDM1);
        Lcd.hide(Lcd::LCDHz);
        Lcd.show(Lcd::LCDBF);
        Lcd.hide(Lcd::LcdFH);
        sign = {};
        S.ReadingUnit = "%";
    }

    // Decimal point.
    constexpr std::array<valdrin::Lcd, 4> points = {Lcd::LcdP0, Lcd::LcdP1, Lcd::LcdP2, Lcd::LcdP3};
    std::array<std::string_view, 4> pointText{};
    for (valdrin::Lcd e : points)
        Lcd.hide(e);
    if (pointIndex && *pointIndex >= 0 && *pointIndex <= 3) {
        pointText[static_cast<std::size_t>(*pointIndex)] = LocaleDecimal;
        Lcd.show(points[static_cast<std::size_t>(*pointIndex)]);
    }

    // The L0 display lights the last point.
    const bool l0 = db == '@' && dc == '0';
    if (l0) {
        pointText[3] = LocaleDecimal;
        Lcd.show(Lcd::LcdP3);
        pointText[2] = {};
        Lcd.hide(Lcd::LcdP2);
    }

    // ReadingValue.
    if (dc == '@' || db != '@') {
        appendDisplay<5>(S.ReadingValue, sign, {d0, da, db, dc == '@' ? 'L' : dc, dd},
                         {pointText[0], pointText[1], pointText[2], pointText[3]});
    } else {
        S.ReadingValue = "L0.";
    }

    // ReadingNumber.
    const bool overload = db == '0' && dc == '@';
    DecodedDisplay display;
    display.sign = sign;
    display.digits = {d0, da, db, dc, dd};
    display.digitCount = 5;
    if (l0) {
        S.ReadingNumber = 0;
        display.overload = Overload::L0;
    } else if (!overloadNumber(display, overload, S.FullScale)) {
        S.ReadingNumber = static_cast<float>(digitsValue(display, 0, 5, true));
    }

    // This family's inputs to the post-decode block.
    display.ownPointIndex = pointIndex;
    display.pointZeroCounts = true;
    display.resetMax = static_cast<float>(-S.FullScale);
    display.resetMin = static_cast<float>(S.FullScale);
    display.timeStampStep = true;
    display.barOverloadPosition = S.BarFull;
    postDecode(display);
}

} // namespace valdrin
