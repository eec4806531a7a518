#include "ui/WindowMirrorState.h"

namespace valdrin {

ConnectionSnapshot ConnectionSnapshot::of(const ConnectionControls& c)
{
    ConnectionSnapshot s;
    s.COMCon = c.COMCon;
    s.USBCon = c.USBCon;
    s.ReadBtn = c.ReadBtn;
    s.BTConVisible = c.BTConVisible;
    s.BtDisconVisible = c.BtDisconVisible;
    s.BtCOMVisible = c.BtCOMVisible;
    s.BtCOMEnabled = c.BtCOMEnabled;
    s.BtCOMHint = c.BtCOMHint;
    s.ComSetup1Enabled = c.ComSetup1Enabled;
    s.COMChecked = c.COMChecked;
    s.START1Checked = c.START1Checked;
    s.START1Enabled = c.START1Enabled;
    s.STOP1Checked = c.STOP1Checked;
    s.STOP1Enabled = c.STOP1Enabled;
    s.devices.reserve(c.DevListBox.size());
    for (const DevListLine& line : c.DevListBox)
        s.devices.push_back(line.text);
    s.DevListBoxSelected = c.DevListBoxSelected;
    return s;
}

bool sameLcd(const LcdState& a, const LcdState& b)
{
    return a.shownFlags == b.shownFlags && a.digitCaptions == b.digitCaptions && a.PBar2Position == b.PBar2Position
           && a.PBar2Max == b.PBar2Max && a.oltext == b.oltext && a.CONok == b.CONok && a.CONokN == b.CONokN;
}

bool sameRecording(const RecordingControls& a, const RecordingControls& b)
{
    return a.RepeatSet == b.RepeatSet && a.RecordSI == b.RecordSI && a.RecordSITime == b.RecordSITime
           && a.checkedLimit == b.checkedLimit;
}

bool sameRecall(const RecallControls& a, const RecallControls& b)
{
    return a.RecallCheck == b.RecallCheck && a.TimeH == b.TimeH && a.TimeM == b.TimeM && a.TimeS == b.TimeS
           && a.TimeInt == b.TimeInt;
}

bool sameLimits(const LimitControls& a, const LimitControls& b)
{
    return a.Setmax == b.Setmax && a.SetMin == b.SetMin && a.SetMaxB == b.SetMaxB && a.SetMinB == b.SetMinB
           && a.MaxText == b.MaxText && a.MinText == b.MinText && a.MaxTextU == b.MaxTextU
           && a.MinTextU == b.MinTextU;
}

} // namespace valdrin
