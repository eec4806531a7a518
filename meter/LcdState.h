// The LCD state: shown or hidden for every element of the panel Panel1, the captions
// of the five digits, and the indicators beside the panel (bar graph, alarm, link).
// The decoders write it; the panel draws it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace valdrin {

// In the panel's painting order.
enum class Lcd : uint8_t {
    LCDM1, LcdDa, LcdAuto, Lcdm, LCDRS, LcdDb, LcdDc, LcdDd, LcdP3, LcdP2, LcdP1, LcdFH, LcdAC, LCD232C,
    LcdV, LCDk, LCDn, LCDBF, LCDA, LCDHz, LCDF, LCDHold, LCDRec, LCDBATT, LCDBT, LCDCS, LCDFS, LCDDI,
    LCDohm, LCDFm, LCDu, LcdDc1, LcdRPM, LCDTRMST, LCDTRMS, LcdACDC, LcdD0, LcdP0, LCDJa, lcdW,
    Count
};
inline constexpr std::size_t kLcdCount = static_cast<std::size_t>(Lcd::Count);

inline constexpr std::array<std::string_view, kLcdCount> kLcdNames = {
    "LCDM1", "LcdDa", "LcdAuto", "Lcdm", "LCDRS", "LcdDb", "LcdDc", "LcdDd", "LcdP3", "LcdP2",
    "LcdP1", "LcdFH", "LcdAC", "LCD232C", "LcdV", "LCDk", "LCDn", "LCDBF", "LCDA", "LCDHz",
    "LCDF", "LCDHold", "LCDRec", "LCDBATT", "LCDBT", "LCDCS", "LCDFS", "LCDDI", "LCDohm", "LCDFm",
    "LCDu", "LcdDc1", "LcdRPM", "LCDTRMST", "LCDTRMS", "LcdACDC", "LcdD0", "LcdP0", "LCDJa", "lcdW"};

inline constexpr std::string_view lcdName(Lcd e) { return kLcdNames[static_cast<std::size_t>(e)]; }

// The five digit elements, left to right.
enum class Digit : uint8_t { LcdD0, LcdDa, LcdDb, LcdDc, LcdDd };
inline constexpr std::array<Lcd, 5> kDigitElements = {Lcd::LcdD0, Lcd::LcdDa, Lcd::LcdDb, Lcd::LcdDc, Lcd::LcdDd};

struct LcdState {
    std::array<bool, kLcdCount> shownFlags{};
    // Captions of LcdD0, LcdDa, LcdDb, LcdDc, LcdDd: zero or one character each ('\0' = empty).
    std::array<char, 5> digitCaptions{'3', '9', '9', '9', '9'};

    int32_t PBar2Position = 20;  // kept within 0 .. PBar2Max, as the control keeps it
    int32_t PBar2Max = 40;
    bool oltext = false;
    bool CONok = false;
    bool CONokN = true;

    LcdState()
    {
        for (Lcd e : kDigitElements)
            show(e);
        show(Lcd::LcdFH);
    }

    bool shown(Lcd e) const { return shownFlags[static_cast<std::size_t>(e)]; }
    void show(Lcd e, bool on = true) { shownFlags[static_cast<std::size_t>(e)] = on; }
    void hide(Lcd e) { show(e, false); }

    std::string caption(Digit d) const
    {
        const char c = digitCaptions[static_cast<std::size_t>(d)];
        return c ? std::string(1, c) : std::string();
    }
    void setCaption(Digit d, char c) { digitCaptions[static_cast<std::size_t>(d)] = c; }
    void setBar(int32_t position) { PBar2Position = position < 0 ? 0 : (position > PBar2Max ? PBar2Max : position); }
};

} // namespace valdrin
