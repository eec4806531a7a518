// The window's connection handlers on plain control state: the serial port's
// connect, disconnect and port choice, the HID device list and the cable's
// selection, the USB commands, the device log, and the watchdog's USB limit.
// The window owns one, forwards each widget event to the handler of the same
// name and mirrors ConnectionControls into its widgets; tests drive it headless.
#pragma once

#include "link/HidControllerClass.h"
#include "link/SerialDrv.h"
#include "meter/FcommCore.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace valdrin {

// One line of DevListBox: its text and the device object it holds, claimed by the
// list; removing the line hands the device back to the controller. Empty when the
// claim failed.
struct DevListLine {
    std::string text;
    THidClaim device;
};

struct ConnectionControls {
    // Group 1: at most one of the three is down.
    bool COMCon = false, USBCon = false, ReadBtn = false;
    bool BTConVisible = true, BtDisconVisible = false;
    std::array<bool, 4> BtCOMVisible{true, false, false, false};
    bool BtCOMEnabled = true;
    std::string BtCOMHint;  // the device path the visible port panel stands for
    bool ComSetup1Enabled = true;
    std::array<bool, 4> COMChecked{true, false, false, false};  // COM11 .. COM41
    bool START1Checked = false, START1Enabled = true;
    bool STOP1Checked = false, STOP1Enabled = false;
    std::vector<DevListLine> DevListBox;
    int DevListBoxSelected = -1;
};

class ConnectionControl {
public:
    // Applies the window's form settings to COMM2 (COM1, 2400 bits per second),
    // attaches the core's serial assembler and wires HidCtl's events; assigning
    // OnDeviceChange last builds the device list at once.
    ConnectionControl(FcommCore& core, TSerialPortDriver& COMM2, THidDeviceController& HidCtl);
    ~ConnectionControl();
    ConnectionControl(const ConnectionControl&) = delete;
    ConnectionControl& operator=(const ConnectionControl&) = delete;

    ConnectionControls C;
    THidDevice* CurrentDevice = nullptr;

    // Advances after every handler that may have changed C, now and then when it
    // changed nothing, but never stays when C changed: the window compares it with
    // the one it last showed. controlsEdited() counts a change made outside the
    // handlers (the window's own choices need none: their widgets show them already).
    uint64_t revision() const { return revision_; }
    void controlsEdited() { ++revision_; }

    // A click on a group-1 button: its new state is set, the other two are
    // released without their handlers, then its own handler runs.
    void ClickCOMCon();
    void ClickUSBCon();
    void ClickReadBtn();

    void COMConClick();
    void BTCon1Click();
    void BtDiscon1Click();
    void COM11Click() { SelectPort(0); }
    void COM21Click() { SelectPort(1); }
    void COM31Click() { SelectPort(2); }
    void COM41Click() { SelectPort(3); }
    // A click on the port panel BtCOM1..BtCOM4 (panel 0..3): wired one step ahead.
    void BtCOMClick(int panel);
    void USBConClick();
    void ReadBtnClick();
    void SetFeatureClick();
    void HidCtlArrival(THidDevice& HidDev);
    void HidCtlRemoval(THidDevice& HidDev);
    void HidCtlDeviceDataError(THidDevice& HidDev, uint32_t Error);
    bool HidCtlEnumerate(THidDevice& HidDev, int32_t Idx);
    void HidCtlDeviceChange();
    void ClearBtnClick();
    void InfoBtnClick();

    std::string DescribeDevice(THidDevice& device);

private:
    // Advances the revision when the handler ends, however it ends: after any
    // message box it showed, whose events run the window's mirror.
    struct Changing {
        ConnectionControl& control;
        explicit Changing(ConnectionControl& c) : control(c) {}
        ~Changing() { control.controlsEdited(); }
        Changing(const Changing&) = delete;
        Changing& operator=(const Changing&) = delete;
    };

    void toggleInGroup(bool& button);
    bool selectReadable(bool& button);
    void SelectPort(int index);
    THidDevice* SelectedDevice() const;
    void TellNoAccess(THidDevice& device);
    THidDataEvent ZentorHandler();
    THidDataEvent TeskarHandler();

    FcommCore& core_;
    TSerialPortDriver& COMM2_;
    THidDeviceController& HidCtl_;
    uint64_t revision_ = 0;
};

// The text HidCtlDeviceDataError logs.
std::string readErrorLine(const std::string& systemText, uint32_t error);
// The cable's configuration report: report ID 0, 2400 bits per second, then 3.
std::array<uint8_t, 11> cableFeatureReport();

} // namespace valdrin
