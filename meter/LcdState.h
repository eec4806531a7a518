// The LCD state: shown or hidden for every element of the panel Panel1, the captions
// of the five digits, and the indicators beside the panel (bar graph, alarm, link).
// The decoders write it; the panel draws it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "meter/OwnedField.h"

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

// Fields are read directly; every write goes through a setter, which advances
// revision() when it changes a value, so a view can tell a change by one number.
struct LcdState {
    OwnedField<std::array<bool, kLcdCount>, LcdState> shownFlags{{}};
    // Captions of LcdD0, LcdDa, LcdDb, LcdDc, LcdDd: zero or one character each ('\0' = empty).
    OwnedField<std::array<char, 5>, LcdState> digitCaptions{{'3', '9', '9', '9', '9'}};

    OwnedField<int32_t, LcdState> PBar2Position{20};  // kept within 0 .. PBar2Max, as the control keeps it
    OwnedField<int32_t, LcdState> PBar2Max{40};
    OwnedField<bool, LcdState> oltext{false};
    OwnedField<bool, LcdState> CONok{false};
    OwnedField<bool, LcdState> CONokN{true};

    LcdState()
    {
        for (Lcd e : kDigitElements)
            show(e);
        show(Lcd::LcdFH);
        revision_ = 0;
    }

    uint64_t revision() const { return revision_; }

    bool shown(Lcd e) const { return shownFlags[static_cast<std::size_t>(e)]; }
    void show(Lcd e, bool on = true) { set(shownFlags.ref()[static_cast<std::size_t>(e)], on); }
    void hide(Lcd e) { show(e, false); }

    std::string caption(Digit d) const
    {
        const char c = digitCaptions[static_cast<std::size_t>(d)];
        return c ? std::string(1, c) : std::string();
    }
    void setCaption(Digit d, char c) { set(digitCaptions.ref()[static_cast<std::size_t>(d)], c); }
    void setCaptions(const std::array<char, 5>& captions) { set(digitCaptions.ref(), captions); }

    void setBar(int32_t position)
    {
        set(PBar2Position.ref(), position < 0 ? 0 : (position > PBar2Max ? PBar2Max.get() : position));
    }
    // The control keeps its position within the new range.
    void setBarMax(int32_t max)
    {
        set(PBar2Max.ref(), max);
        setBar(PBar2Position);
    }
    void setOltext(bool on) { set(oltext.ref(), on); }
    // The link pictures: CONok while frames arrive, CONokN otherwise.
    void setConnected(bool ok)
    {
        set(CONok.ref(), ok);
        set(CONokN.ref(), !ok);
    }

    // The same picture as other, whatever the revisions.
    bool sameAs(const LcdState& other) const
    {
        return shownFlags == other.shownFlags && digitCaptions == other.digitCaptions
               && PBar2Position == other.PBar2Position && PBar2Max == other.PBar2Max && oltext == other.oltext
               && CONok == other.CONok && CONokN == other.CONokN;
    }

private:
    friend class LcdEdit;

    template <class T>
    void set(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        if (edits_ == 0)
            ++revision_;
    }

    uint64_t revision_ = 0;
    int edits_ = 0;  // frame edits open: their setters leave the revision to the edit
};

// One frame's edit of the LCD state: the revision advances once, when the edit
// ends, and only when the frame leaves the picture other than it found it. A
// decoder hides every unit element before it shows the frame's own, so an
// identical frame changes values on the way and still ends where it began. The
// revision never moves while the edit is open, so a view that looks in the middle
// of a frame (from a message box's loop) cannot take a half-drawn picture for a
// finished one, and the revision never goes back.
class LcdEdit {
public:
    explicit LcdEdit(LcdState& lcd) : lcd_(lcd), before_(lcd) { ++lcd_.edits_; }
    ~LcdEdit()
    {
        if (--lcd_.edits_ == 0 && !lcd_.sameAs(before_))
            ++lcd_.revision_;
    }
    LcdEdit(const LcdEdit&) = delete;
    LcdEdit& operator=(const LcdEdit&) = delete;

private:
    LcdState& lcd_;
    const LcdState before_;
};

} // namespace valdrin
