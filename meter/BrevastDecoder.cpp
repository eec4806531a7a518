// LcdDisplayBrevast: a range code, four digit characters, a function code and three
// status nibbles become the LCD state and the Reading; leading zeros are blanked.
#include <array>

#include "meter/FcommCore.h"
#include "meter/FrameChars.h"

namespace valdrin {

namespace {

// Flags that live for one call and are applied to the panel together.
struct Scale {
    bool P1 = false, P2 = false, P3 = false;
    bool kilo = false, mega = false, milli = false, micro = false, nano = false, ampere = false;
    void point(int n)
    {
        P1 = P1 || n == 1;
        P2 = P2 || n == 2;
        P3 = P3 || n == 3;
    }
};

// One range choice: the point (0 = none), the prefix flags and the unit text (nullptr: unchanged).
struct RangeChoice {
    int point;
    bool Scale::*prefix;
    const char* unit;
};

void apply(Scale& s, std::string& unit, const RangeChoice& c)
{
    s.point(c.point);
    if (c.prefix)
        s.*(c.prefix) = true;
    if (c.unit)
        unit = c.unit;
}

template <std::size_t N>
void byRange(Scale& s, std::string& unit, int32_t range, const std::array<RangeChoice, N>& choices)
{
    if (range >= 0 && static_cast<std::size_t>(range) < N)
        apply(s, unit, choices[static_cast<std::size_t>(range)]);
}

constexpr bool Scale::*kNoPrefix = nullptr;

} // namespace

void FcommCore::LcdDisplayBrevast()
{
    const std::string& f = S.LastFrame;

    connectionStep();

    // Status bits of characters 8 and 10.
    const int32_t status8 = nibbleValue(frameChar(f, 8));
    const int32_t status10 = nibbleValue(frameChar(f, 10));
    // Characters 2 to 11 all go through the bit string; the others must convert too.
    for (std::size_t j = 2; j <= 11; ++j)
        if (j != 8 && j != 10)
            nibbleValue(frameChar(f, j));

    // Frame log.
    Memo1.add(f);

    // Digits; the overload bit turns them into 0L.
    char d1 = frameCharOr0(f, 3), d2 = frameCharOr0(f, 4), d3 = frameCharOr0(f, 5);
    const bool overloadBit = (status8 & 1) != 0;
    if (overloadBit) {
        d3 = '@';
        d2 = '0';
    }
    char d4 = frameCharOr0(f, 6);

    // The Reading starts empty for this frame.
    S.ReadingMode.clear();
    S.ReadingRange.clear();
    S.ReadingUnit.clear();

    // Sign and status elements.
    std::string_view sign;
    if (status8 & 4) {
        sign = "-";
        Lcd.show(Lcd::LcdFH);
    } else {
        Lcd.hide(Lcd::LcdFH);
    }
    Lcd.show(Lcd::LCDBATT, (status8 & 2) != 0);
    Lcd.show(Lcd::LcdAC, (status10 & 4) != 0);
    if (status10 & 4)
        S.ReadingMode = "AC";
    Lcd.show(Lcd::LcdDc1, (status10 & 8) != 0);
    if (status10 & 8)
        S.ReadingMode = "DC";
    if (status10 & 2) {
        Lcd.show(Lcd::LcdAuto);
        S.ReadingRange = "AUTO";
    } else {
        Lcd.hide(Lcd::LcdAuto);
        S.ReadingRange = "MANU";
    }
    const bool serialIndicator = (status10 & 1) == 0;  // the bit means "off"
    Lcd.show(Lcd::LCDRS, serialIndicator);
    Lcd.show(Lcd::LCD232C, serialIndicator);

    // Function rows, in this order; a row that does not match does its last column.
    const char fn = frameCharOr0(f, 7);
    const bool bit8 = (status8 & 8) != 0;
    const bool dornelOrBrevast = C.switches.IFDornel || C.switches.IFBrevast;
    auto range = [&f] { return charValue(frameChar(f, 2)); };
    Scale s;
    std::string& unit = S.ReadingUnit;

    if (fn == 'B') {
        Lcd.show(Lcd::LcdV);
        unit = "V";
        byRange<5>(s, unit, range(), {{{3, &Scale::milli, "mV"}, {1, kNoPrefix, nullptr}, {2, kNoPrefix, nullptr},
                                       {3, kNoPrefix, nullptr}, {0, kNoPrefix, nullptr}}});
    } else {
        Lcd.hide(Lcd::LcdV);
    }
    if (fn == 'D') {
        s.micro = s.ampere = true;
        unit = "uA";
        byRange<1>(s, unit, range(), {{{3, kNoPrefix, nullptr}}});
    } else {
        Lcd.hide(Lcd::LCDu);
    }
    if (fn == '9') {
        s.milli = s.ampere = true;
        unit = "mA";
        byRange<2>(s, unit, range(), {{{2, kNoPrefix, nullptr}, {3, kNoPrefix, nullptr}}});
    }
    if (fn == 'F') {
        s.ampere = true;
        s.point(2);
        unit = "A";
    }
    if (fn == '3') {
        Lcd.show(Lcd::LCDohm);
        unit = "*";
        byRange<6>(s, unit, range(), {{{3, kNoPrefix, nullptr}, {1, &Scale::kilo, "k*"}, {2, &Scale::kilo, "k*"},
                                       {3, &Scale::kilo, "k*"}, {1, &Scale::mega, "M*"}, {2, &Scale::mega, "M*"}}});
    } else {
        Lcd.hide(Lcd::LCDohm);
    }
    if (fn == '2' && !bit8) {
        Lcd.show(Lcd::LCDHz);
        Lcd.hide(Lcd::LcdRPM);
        byRange<6>(s, unit, range(),
                   {{dornelOrBrevast ? RangeChoice{1, &Scale::kilo, "kHz"} : RangeChoice{0, kNoPrefix, "Hz"},
                     {2, &Scale::kilo, "kHz"}, {3, &Scale::kilo, "kHz"}, {1, &Scale::mega, "MHz"},
                     {2, &Scale::mega, "MHz"}, {3, &Scale::mega, "MHz"}}});
    } else if (fn == '2') {
        Lcd.show(Lcd::LcdRPM);
        Lcd.hide(Lcd::LCDHz);
        byRange<6>(s, unit, range(), {{{2, &Scale::kilo, "kRPM"}, {3, &Scale::kilo, "kRPM"}, {1, &Scale::mega, "MRPM"},
                                       {2, &Scale::mega, "MRPM"}, {3, &Scale::mega, "MRPM"}, {0, &Scale::mega, "MRPM"}}});
    } else {
        Lcd.hide(Lcd::LcdRPM);
        Lcd.hide(Lcd::LCDHz);
    }
    if (fn == '4') {
        Lcd.show(Lcd::LCDCS, bit8);
        Lcd.show(Lcd::LCDFS, !bit8);
        unit = bit8 ? "#" : "?";
    } else {
        Lcd.hide(Lcd::LCDCS);
        Lcd.hide(Lcd::LCDFS);
    }
    if (fn == '5') {
        Lcd.show(Lcd::LCDFm);
        s.point(3);
        unit = "&";
        if (C.switches.IFDornel) {
            Lcd.show(Lcd::LCDohm);
            unit = "&*";
        }
    } else {
        Lcd.hide(Lcd::LCDFm);
    }
    if (fn == '1') {
        Lcd.show(Lcd::LCDDI);
        s.point(1);
        Lcd.show(Lcd::LcdV);
        unit = ")";
    } else {
        Lcd.hide(Lcd::LCDDI);
    }
    if (fn == '6') {
        Lcd.show(Lcd::LCDF);
        byRange<8>(s, unit, range(), {{{1, &Scale::nano, "nF"}, {2, &Scale::nano, "nF"}, {3, &Scale::nano, "nF"},
                                       {1, &Scale::micro, "uF"}, {2, &Scale::micro, "uF"}, {3, &Scale::micro, "uF"},
                                       {1, &Scale::milli, "mF"}, {2, &Scale::milli, "mF"}}});
    } else {
        Lcd.hide(Lcd::LCDF);
    }

    // Frequency overlay.
    if (frameCharOr0(f, 8) == '0' && frameCharOr0(f, 9) == '1') {
        s = Scale{};
        Lcd.hide(Lcd::LcdV);
        Lcd.show(Lcd::LCDHz);
        Lcd.hide(Lcd::LcdRPM);
        byRange<6>(s, unit, range(), {{{1, &Scale::kilo, "kHz"}, {2, &Scale::kilo, "kHz"}, {3, &Scale::kilo, "kHz"},
                                       {1, &Scale::mega, "MHz"}, {2, &Scale::mega, "MHz"}, {3, &Scale::mega, "MHz"}}});
    }

    // Apply the flags.
    std::array<std::string_view, 3> p{};
    const std::array<bool, 3> lit = {s.P1, s.P2, s.P3};
    constexpr std::array<valdrin::Lcd, 3> points = {Lcd::LcdP1, Lcd::LcdP2, Lcd::LcdP3};
    for (std::size_t i = 0; i < 3; ++i) {
        Lcd.show(points[i], lit[i]);
        if (lit[i])
            p[i] = LocaleDecimal;
    }
    Lcd.show(Lcd::LCDk, s.kilo);
    Lcd.show(Lcd::LCDM1, s.mega);
    Lcd.show(Lcd::Lcdm, s.milli);
    Lcd.show(Lcd::LCDu, s.micro);
    Lcd.show(Lcd::LCDA, s.ampere);
    Lcd.show(Lcd::LCDn, s.nano);

    // Diode, then continuity.
    if (Lcd.shown(Lcd::LCDDI)) {
        d4 = '\0';
        unit += "V";
    }
    if (Lcd.shown(Lcd::LCDFm)) {
        d4 = '\0';
        p[2] = {};
        Lcd.hide(Lcd::LcdP3);
        unit += "*";
        Lcd.show(Lcd::LCDohm);
    }

    // ReadingValue; leading zeros stay in the text.
    if (d3 == '@')
        appendDisplay<4>(S.ReadingValue, sign, {'\0', '0', 'L', '\0'}, p);
    else
        appendDisplay<4>(S.ReadingValue, sign, {d1, d2, d3, d4}, p);

    // ReadingNumber: this family's overload counts one more than full scale.
    DecodedDisplay display;
    display.sign = sign;
    display.digits = {d1, d2, d3, d4, '\0'};
    display.digitCount = 4;
    if (!overloadNumber(display, d3 == '@', S.FullScale + 1))
        S.ReadingNumber = static_cast<float>(digitsValue(display, 0, 4, true));

    // Leading-zero blanking on the panel.
    std::array<bool, 4> visible = {true, true, true, true};
    if (!s.P1 && !s.P2 && !s.P3) {
        if (d1 == '0' && d2 == '0' && d3 == '0')
            visible[0] = visible[1] = visible[2] = false;
        else if (d1 == '0' && d2 == '0')
            visible[0] = visible[1] = false;
        else if (d1 == '0')
            visible[0] = false;
    }
    if (s.P2 && d1 == '0')
        visible[0] = false;
    if (s.P3 && d1 == '0' && d2 == '0')
        visible[0] = visible[1] = false;
    if (s.P3 && d1 == '0')
        visible[0] = false;
    if (overloadBit)
        visible[0] = visible[3] = false;
    constexpr std::array<valdrin::Lcd, 4> digitElements = {Lcd::LcdDa, Lcd::LcdDb, Lcd::LcdDc, Lcd::LcdDd};
    for (std::size_t i = 0; i < 4; ++i)
        Lcd.show(digitElements[i], visible[i]);

    display.ownPointIndex = 0;
    display.resetMax = static_cast<float>(-(S.FullScale + 1));
    display.resetMin = static_cast<float>(S.FullScale + 1);
    display.barOverloadPosition = fn == '1' ? 25 : S.BarFull;
    display.digitCaptionsAfterExtremes = true;
    postDecode(display);
}

} // namespace valdrin
