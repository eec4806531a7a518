// Start-up of the core (the window's create handler without widgets) and the
// handlers of the dial, the chart, the limits and the link watchdog.
#include "meter/FcommCore.h"

#include "base/IntegerValue.h"

namespace valdrin {

namespace {
struct FamilyValues {
    const char* name;
    int32_t fullScale, dialCentre, barFull, dialTicks;
};
constexpr FamilyValues kFamilies[] = {
    {"4", 40000, 400, 40, 80},
    {"6", 6000, 600, 60, 120},
    {"34", 3400, 340, 34, 68},
    {"2", 20000, 200, 20, 40},
};
} // namespace

FcommCore::FcommCore(Messages& messages, Beeper& beeper, Clock& clock, CoreOptions options)
    : messages_(messages), beeper_(beeper), clock_(clock)
{
    C.switches = options.switches;
    FormCreate(options);
}

void FcommCore::FormCreate(const CoreOptions& options)
{
    LocaleDecimal = options.LocaleDecimal;
    LongTimeFormat = options.LongTimeFormat;
    S.stamp.StampTime = clock_.now();
    setFamily("4");
    S.PrevUnit = "113";  // matches no unit text: the first frame starts a trace
    cds1.clear();
    S.recording.RecordNo = 1;
    S.chart.FollowLastPage = true;
    S.FrequencyMode = false;
    S.recording.MaxRecords = 10000;
    S.chart.prepare();

    if (C.switches.IFQuellix) {
        serialAssembler = SerialAssembler::Zentor;
        C.Caption = "Valdrin Interface Program V2.00";
    }
    if (C.switches.IFTeskar) {
        serialAssembler = SerialAssembler::Teskar;
        C.Caption = "Teskar Interface Program _Ver: 1.00";
    }

    if (options.CountFamily != "4") {
        setFamily(options.CountFamily);
        // Setting the limit edits runs their change handlers: the limits in force
        // become plus and minus full scale.
        C.limits.Setmax = std::to_string(S.FullScale);
        SetmaxExit();
        C.limits.SetMin = std::to_string(-S.FullScale);
        SetMinExit();
        C.limits.MinText = std::to_string(S.FullScale + 1);
        C.limits.MaxText = std::to_string(-(S.FullScale + 1));
        if (options.CountFamily == "2")
            Lcd.setBarMax(20);
    }

    S.chart.setLeftAxis(-S.FullScale, S.FullScale);
    KDsetup();
    KDrun(S.DialCentre);
    controlsEdited();
}

void FcommCore::setControlText(std::string& text, const std::string& value)
{
    if (text == value)
        return;
    text = value;
    controlsEdited();
}

void FcommCore::setFamily(const std::string& family)
{
    for (const FamilyValues& v : kFamilies) {
        if (family != v.name)
            continue;
        S.CountFamily = v.name;
        S.FullScale = v.fullScale;
        S.DialCentre = v.dialCentre;
        S.BarFull = v.barFull;
        S.DialTicks = v.dialTicks;
        S.UpperLimit = static_cast<float>(v.fullScale + 2);
        S.LowerLimit = static_cast<float>(-(v.fullScale + 2));
        S.RunningMax = static_cast<float>(-(v.fullScale + 1));
        S.RunningMin = static_cast<float>(v.fullScale + 1);
        return;
    }
}

// --- Dial and chart.

void FcommCore::KDsetup()
{
    S.dial.KDsetup(DialParams{S.CountFamily, S.FullScale, S.DialTicks, S.DialCentre, S.UpperLimit, S.LowerLimit,
                              S.FrequencyMode, C.limits.SetMaxB, C.limits.SetMinB});
}

void FcommCore::KDrun(int32_t position)
{
    S.dial.KDrun(position, DialParams{S.CountFamily, S.FullScale, S.DialTicks, S.DialCentre, S.UpperLimit,
                                      S.LowerLimit, S.FrequencyMode, C.limits.SetMaxB, C.limits.SetMinB});
}

void FcommCore::ShowSeries(int index) { S.chart.ShowSeries(index); }
void FcommCore::BtNewClick() { S.chart.BtNewClick(); }
void FcommCore::btFillClick() { S.chart.btFillClick(); }
void FcommCore::FillClick() { S.chart.FillClick(); }
void FcommCore::ComboBox1Change(int index) { S.chart.ComboBox1Change(index); }
void FcommCore::BtFirstClick() { S.chart.BtFirstClick(); }
void FcommCore::BTPreviousClick() { S.chart.BTPreviousClick(); }
void FcommCore::BtNextClick() { S.chart.BtNextClick(); }
void FcommCore::BTlastClick() { S.chart.BTlastClick(); }
void FcommCore::MaxrecordExit(const std::string& text)
{
    guarded([&] { S.chart.MaxrecordExit(text); });
}
void FcommCore::TbFdClick(int windowOuterWidth, int windowOuterHeight)
{
    S.chart.TbFdClick(windowOuterWidth, windowOuterHeight);
}

// --- Limits: a change of the edit or a click on its check box reloads the limit.

void FcommCore::SetmaxExit()
{
    guarded([&] {
        S.UpperLimit = limitValue(C.limits.Setmax);
        KDsetup();
    });
}

void FcommCore::SetMinExit()
{
    guarded([&] {
        S.LowerLimit = limitValue(C.limits.SetMin);
        KDsetup();
    });
}

bool FcommCore::SetmaxKeyPress(char key) { return acceptLimitKey(key); }

// --- Link watchdog.

void FcommCore::ConTimerTimer()
{
    if (S.WatchdogTicks != 2) {
        ++S.WatchdogTicks;
        return;
    }
    if (S.UsbIdleReports >= 1900) {
        S.UsbIdleReports = 0;
        if (usbIdleLimit)
            usbIdleLimit();
        messages_.information("USB interface cable is securely connected, please check if the meter is ready.");
    }
    Lcd.setConnected(false);
    S.WatchdogTicks = 0;
}

} // namespace valdrin
