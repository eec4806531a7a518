// LcdDisplayTeskar: fourteen bytes of segment and symbol bits become the LCD state
// and the Reading; the dial and chart switch into and out of frequency mode.
#include <array>

#include "meter/FcommCore.h"
#include "meter/FrameChars.h"

namespace valdrin {

namespace {

// Seven-segment patterns in the order d c g b e f a, as 7-bit numbers.
constexpr uint8_t pattern(const char (&bits)[8])
{
    uint8_t v = 0;
    for (int i = 0; i < 7; ++i)
        v = static_cast<uint8_t>((v << 1) | (bits[i] == '1' ? 1 : 0));
    return v;
}

struct PatternDigit {
    uint8_t bits;
    char digit;
};

constexpr std::array<PatternDigit, 10> kDigitPatterns = {{
    {pattern("1101111"), '0'}, {pattern("0101000"), '1'}, {pattern("1011101"), '2'}, {pattern("1111001"), '3'},
    {pattern("0111010"), '4'}, {pattern("1110011"), '5'}, {pattern("1110111"), '6'}, {pattern("0101001"), '7'},
    {pattern("1111111"), '8'}, {pattern("1111011"), '9'},
}};
constexpr uint8_t kLetterL = pattern("1000110");

// Digit text of a pattern; only the third digit knows the letter L (the overload marker).
char digitText(uint8_t bits, bool thirdDigit)
{
    for (const PatternDigit& p : kDigitPatterns)
        if (p.bits == bits)
            return p.digit;
    return thirdDigit && bits == kLetterL ? '@' : '\0';
}

struct UnitBit {
    int byte;
    int bit;
    Lcd element;
    const char* text;
};

constexpr std::array<UnitBit, 15> kUnitBits = {{
    {10, 8, Lcd::LCDu, "u"},  {10, 4, Lcd::LCDn, "n"},   {10, 2, Lcd::LCDk, "k"},  {10, 1, Lcd::LCDDI, ""},
    {11, 8, Lcd::Lcdm, "m"},  {11, 4, Lcd::LCDBF, "%"},  {11, 2, Lcd::LCDM1, "M"}, {11, 1, Lcd::LCDFm, ""},
    {12, 8, Lcd::LCDF, "F"},  {12, 4, Lcd::LCDohm, "*"}, {12, 2, Lcd::LCDRec, ""}, {12, 1, Lcd::LCDHold, ""},
    {13, 8, Lcd::LCDA, "A"},  {13, 4, Lcd::LcdV, "V"},   {13, 1, Lcd::LCDBATT, ""},
}};

} // namespace

void FcommCore::LcdDisplayTeskar()
{
    connectionStep();

    // The display bits of the fourteen bytes, then the four digits.
    std::array<int32_t, 15> nibble{};
    for (std::size_t i = 1; i <= 14; ++i)
        nibble[i] = nibbleValue(frameChar(S.LastFrame, i));
    auto bit = [&nibble](int byte, int value) { return (nibble[static_cast<std::size_t>(byte)] & value) != 0; };
    std::array<char, 4> d{};
    for (int k = 1; k <= 4; ++k) {
        const auto bits = static_cast<uint8_t>(((nibble[static_cast<std::size_t>(2 * k + 1)] & 0xF) << 3) |
                                               (nibble[static_cast<std::size_t>(2 * k)] & 0x7));
        d[static_cast<std::size_t>(k - 1)] = digitText(bits, k == 3);
    }

    // The Reading starts empty for this frame.
    S.ReadingMode.clear();
    S.ReadingRange.clear();
    S.ReadingUnit.clear();

    // Sign.
    std::string_view sign;
    if (bit(2, 8)) {
        sign = "-";
        Lcd.show(Lcd::LcdFH);
    } else {
        Lcd.hide(Lcd::LcdFH);
    }

    // Points after digits 1, 2 and 3.
    std::array<std::string_view, 3> p{};
    constexpr std::array<valdrin::Lcd, 3> points = {Lcd::LcdP1, Lcd::LcdP2, Lcd::LcdP3};
    for (std::size_t i = 0; i < 3; ++i) {
        const bool lit = bit(static_cast<int>(4 + 2 * i), 8);
        Lcd.show(points[i], lit);
        if (lit)
            p[i] = LocaleDecimal;
    }

    // AC (the TRMS elements follow it only with IFMorvane), DC, AUTO, RS232C.
    const bool ac = bit(1, 8);
    Lcd.show(Lcd::LcdAC, ac);
    if (ac)
        S.ReadingMode = "AC";
    if (C.switches.IFMorvane) {
        Lcd.show(Lcd::LCDTRMST, ac);
        Lcd.show(Lcd::LCDTRMS, ac);
    }
    if (bit(1, 4))
        S.ReadingMode = "DC";
    if (bit(1, 2)) {
        Lcd.show(Lcd::LcdAuto);
        S.ReadingRange = "AUTO";
    } else {
        Lcd.hide(Lcd::LcdAuto);
        S.ReadingRange = "MANU";
    }
    Lcd.show(Lcd::LCDRS, bit(1, 1));
    Lcd.show(Lcd::LCD232C, bit(1, 1));

    // Unit and symbol bits, prefixes before units.
    for (const UnitBit& u : kUnitBits) {
        const bool set = bit(u.byte, u.bit);
        Lcd.show(u.element, set);
        if (set)
            S.ReadingUnit += u.text;
    }

    // Temperature.
    if (bit(14, 1) && !bit(13, 2)) {
        Lcd.show(Lcd::LCDCS);
        S.ReadingMode.clear();
        S.ReadingUnit = "#";
    } else {
        Lcd.hide(Lcd::LCDCS);
    }

    // Frequency.
    const bool wasFrequency = S.FrequencyMode;
    if (bit(13, 2)) {
        Lcd.hide(Lcd::LCDCS);
        Lcd.show(Lcd::LCDHz);
        S.ReadingUnit += "Hz";
        S.ReadingRange = "AUTO";
        S.FrequencyMode = true;
    } else {
        Lcd.hide(Lcd::LCDHz);
        S.FrequencyMode = false;
    }

    // The dial and the value axis follow a change of frequency mode.
    if (S.FrequencyMode != wasFrequency) {
        KDsetup();
        if (S.FrequencyMode)
            S.chart.setLeftAxis(-5000, 5000);
        else
            S.chart.setLeftAxis(-S.FullScale, S.FullScale);
    }

    // ReadingValue; an "@" in digit 3 reads L.
    appendDisplay<4>(S.ReadingValue, sign, {d[0], d[1], d[2] == '@' ? 'L' : d[2], d[3]}, p);

    // ReadingNumber.
    DecodedDisplay display;
    display.sign = sign;
    display.digits = {d[0], d[1], d[2], d[3], '\0'};
    display.digitCount = 4;
    const bool overload = d[1] == '0' && d[2] == '@';
    if (!overloadNumber(display, overload, S.FullScale))
        S.ReadingNumber = static_cast<float>(digitsValue(display, 0, 4, true));

    display.ownPointIndex = 0;
    display.resetMax = static_cast<float>(-S.FullScale);
    display.resetMin = static_cast<float>(S.FullScale);
    display.barOverloadPosition = S.BarFull;
    display.digitCaptionsAfterExtremes = true;
    postDecode(display);
}

} // namespace valdrin
