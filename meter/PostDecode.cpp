// The post-decode block, once for all three families; each decoder passes its own
// inputs (overload class, own point index, reset bounds, time stamp step or not).
#include "meter/FcommCore.h"
#include "base/IntegerValue.h"

namespace valdrin {

int32_t FcommCore::digitsValue(const DecodedDisplay& display, std::size_t from, std::size_t count,
                               bool withSign) const
{
    char text[8];
    std::size_t length = 0;
    if (withSign)
        for (char c : display.sign)
            text[length++] = c;
    for (std::size_t i = from; i < from + count && i < display.digitCount; ++i)
        if (display.digits[i])
            text[length++] = display.digits[i];
    return IntegerValue(std::string_view(text, length));
}

// Every decoder begins here, before it reads the frame: frames are arriving.
void FcommCore::connectionStep()
{
    Lcd.setConnected(true);
    S.WatchdogTicks = 0;
}

// An overload display counts as plus or minus the magnitude, by its sign text; a
// minus on its own and the overload marker alone are the only two forms.
bool FcommCore::overloadNumber(DecodedDisplay& display, bool overloaded, int32_t magnitude)
{
    if (!overloaded || (display.sign != "" && display.sign != "-"))
        return false;
    const bool negative = display.sign == "-";
    S.ReadingNumber = static_cast<float>(negative ? -magnitude : magnitude);
    display.overload = negative ? Overload::Negative : Overload::Positive;
    return true;
}

void FcommCore::postDecode(const DecodedDisplay& display)
{
    // Limit alarm: strict comparisons in single precision.
    const bool alarm = (S.ReadingNumber > S.UpperLimit && C.limits.SetMaxB) ||
                       (S.ReadingNumber < S.LowerLimit && C.limits.SetMinB);
    if (alarm)
        beeper_.beep();
    Lcd.setOltext(alarm);

    // Point index: the highest lit point wins over the decoder's own index.
    constexpr int32_t kNoPoint = -1;
    int32_t point = display.ownPointIndex.value_or(kNoPoint);
    if (display.pointZeroCounts && Lcd.shown(Lcd::LcdP0))
        point = 0;
    if (Lcd.shown(Lcd::LcdP1))
        point = 1;
    if (Lcd.shown(Lcd::LcdP2))
        point = 2;
    if (Lcd.shown(Lcd::LcdP3))
        point = 3;
    if (point != kNoPoint)
        report_.point = point;

    // A new trace when the unit text or the point changes; otherwise the extremes.
    if (S.ReadingUnit != S.PrevUnit || point != S.PrevPointIndex) {
        report_.trace = true;
        ShowSeries(S.chart.controls().BtFillChecked ? 0 : 1);
        BtNewClick();
        S.PrevUnit = S.ReadingUnit;
        S.RunningMax = display.resetMax;
        S.RunningMin = display.resetMin;
    } else {
        if (S.ReadingNumber >= S.RunningMax) {
            S.MaxValueText = S.ReadingValue;
            S.RunningMax = S.ReadingNumber;
        }
        if (S.ReadingNumber <= S.RunningMin) {
            S.MinValueText = S.ReadingValue;
            S.RunningMin = S.ReadingNumber;
        }
    }
    // The point index that the next frame compares with.
    S.PrevPointIndex = point;
    // Extremes display.
    setControlText(C.limits.MaxText, S.MaxValueText);
    setControlText(C.limits.MinText, S.MinValueText);
    setControlText(C.limits.MaxTextU, S.ReadingUnit);
    setControlText(C.limits.MinTextU, S.ReadingUnit);
    if (display.digitCaptionsAfterExtremes)
        for (std::size_t i = 0; i < 4; ++i)
            Lcd.setCaption(static_cast<Digit>(i + 1), display.digits[i]);

    // Dial.
    int32_t position = 0;
    switch (display.overload) {
    case Overload::Positive: position = 10 * S.DialTicks; break;
    case Overload::Negative: position = 0; break;
    case Overload::L0: position = 5 * S.DialTicks; break;
    case Overload::None: position = digitsValue(display, 0, 3, true) + S.DialCentre; break;
    }
    report_.dial = position;
    KDrun(position);

    // Time stamp.
    if (display.timeStampStep)
        advanceStamp(S.stamp, C.recall, clock_);

    // Record the reading.
    INDataToTable();

    // Bar graph: never at 0 while frames arrive.
    int32_t bar = 1;
    if (display.overload == Overload::Positive || display.overload == Overload::Negative) {
        bar = display.barOverloadPosition;
    } else if (display.overload == Overload::None) {
        const int32_t n = digitsValue(display, 0, 2, false);
        bar = n < 2 ? 1 : n;
    }
    Lcd.setBar(bar);

    // Chart value to the line series, follow the last page, then the area series.
    int32_t value = 0;
    switch (display.overload) {
    case Overload::Positive:
    case Overload::Negative: value = display.sign == "-" ? -S.FullScale : S.FullScale; break;
    case Overload::L0: value = 0; break;
    case Overload::None: value = digitsValue(display, 0, display.digitCount, true); break;
    }
    report_.chart = value;
    S.chart.addPoint(1, value);
    S.chart.followLastPage();
    S.chart.addPoint(0, value);
}

} // namespace valdrin
