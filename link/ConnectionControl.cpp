#include "link/ConnectionControl.h"

#include "link/LocalText.h"

#include <cstdio>
#include <cstring>

namespace valdrin {

namespace {
const char kNotConnected[] = "USB interface cable is not securely connected, please check and re-try.";
const char kUsbToSerial[] = "USB to Serial";
} // namespace

std::string readErrorLine(const std::string& systemText, uint32_t error)
{
    char code[16];
    std::snprintf(code, sizeof code, "%X", error);
    return "READ ERROR: " + systemText + " (" + code + ")";
}

std::array<uint8_t, 11> cableFeatureReport()
{
    std::array<uint8_t, 11> buffer{};
    buffer[1] = 0x60;  // 2400 = 0x00000960, little-endian in bytes 1 to 4
    buffer[2] = 0x09;
    buffer[5] = 0x03;
    return buffer;
}

ConnectionControl::ConnectionControl(FcommCore& core, TSerialPortDriver& COMM2, THidDeviceController& HidCtl)
    : core_(core)
    , COMM2_(COMM2)
    , HidCtl_(HidCtl)
{
    COMM2_.SetComPort(pnCOM1);
    COMM2_.SetComPortSpeed(br2400);
    COMM2_.SetOnReceiveData(
        [this](TSerialPortDriver&, const uint8_t* data, int32_t size) { core_.OnReceiveData(data, size); });
    C.BtCOMHint = COMM2_.ComPortDeviceName();

    core_.usbIdleLimit = [this] {
        const Changing changing(*this);
        C.USBCon = false;
        if (CurrentDevice)
            CurrentDevice->SetDataHandler({});
    };

    HidCtl_.SetOnArrival({"HidCtlArrival", [this](THidDevice& d) { HidCtlArrival(d); }});
    HidCtl_.SetOnEnumerate({"HidCtlEnumerate", [this](THidDevice& d, int32_t i) { return HidCtlEnumerate(d, i); }});
    HidCtl_.SetOnDeviceDataError(
        {"HidCtlDeviceDataError", [this](THidDevice& d, uint32_t e) { HidCtlDeviceDataError(d, e); }});
    HidCtl_.SetOnRemoval({"HidCtlRemoval", [this](THidDevice& d) { HidCtlRemoval(d); }});
    HidCtl_.SetOnDeviceChange({"HidCtlDeviceChange", [this](THidDeviceController&) { HidCtlDeviceChange(); }});
}

ConnectionControl::~ConnectionControl()
{
    core_.usbIdleLimit = nullptr;
    HidCtl_.SetOnDeviceChange({});
    HidCtl_.SetOnArrival({});
    HidCtl_.SetOnEnumerate({});
    HidCtl_.SetOnDeviceDataError({});
    HidCtl_.SetOnRemoval({});
    CurrentDevice = nullptr;
    // A device keeps its data handler when handed back, and ours end here.
    for (DevListLine& line : C.DevListBox)
        if (line.device)
            line.device->SetDataHandler({});
    C.DevListBox.clear();  // hands the claimed devices back
    COMM2_.SetOnReceiveData({});
}

THidDataEvent ConnectionControl::ZentorHandler()
{
    return {"UsbZentorData",
            [this](THidDevice&, uint8_t id, const uint8_t* data, uint16_t size) { core_.UsbZentorData(id, data, size); }};
}

THidDataEvent ConnectionControl::TeskarHandler()
{
    return {"UsbTeskarData",
            [this](THidDevice&, uint8_t id, const uint8_t* data, uint16_t size) { core_.UsbTeskarData(id, data, size); }};
}

// ---------------------------------------------------------------- group 1

// A click toggles the button; one put down releases the other two without their
// handlers.
void ConnectionControl::toggleInGroup(bool& button)
{
    const bool down = !button;
    C.COMCon = C.USBCon = C.ReadBtn = false;
    button = down;
}

void ConnectionControl::ClickCOMCon()
{
    const Changing changing(*this);
    toggleInGroup(C.COMCon);
    COMConClick();
}

void ConnectionControl::ClickUSBCon()
{
    const Changing changing(*this);
    toggleInGroup(C.USBCon);
    USBConClick();
}

void ConnectionControl::ClickReadBtn()
{
    const Changing changing(*this);
    toggleInGroup(C.ReadBtn);
    ReadBtnClick();
}

// ---------------------------------------------------------------- serial link

void ConnectionControl::COMConClick()
{
    const Changing changing(*this);
    if (C.COMCon)
        BTCon1Click();
    else
        BtDiscon1Click();
}

void ConnectionControl::BTCon1Click()
{
    const Changing changing(*this);
    // A port that does not open is not shown as connected: the user learns why
    // instead of waiting for frames that cannot come.
    if (!COMM2_.OpenComPort()) {
        const std::string device = COMM2_.ComPortDeviceName();
        core_.messages().error("Could not open " + COMM2_.ComPortName() + (device.empty() ? "" : " " + device)
                               + ": " + COMM2_.LastOpenError());
        C.COMCon = false;
        return;
    }
    C.ComSetup1Enabled = false;
    C.START1Checked = true;
    C.START1Enabled = false;
    C.STOP1Enabled = true;
    C.STOP1Checked = false;
    C.BTConVisible = false;
    C.BtDisconVisible = true;
    C.BtCOMEnabled = false;
}

void ConnectionControl::BtDiscon1Click()
{
    const Changing changing(*this);
    C.ComSetup1Enabled = true;
    C.START1Checked = false;
    C.START1Enabled = true;
    C.STOP1Enabled = false;
    C.STOP1Checked = true;
    COMM2_.CloseComPort();
    C.BTConVisible = true;
    C.BtDisconVisible = false;
    C.BtCOMEnabled = true;
}

void ConnectionControl::SelectPort(int index)
{
    const Changing changing(*this);
    for (int i = 0; i < 4; ++i) {
        C.COMChecked[static_cast<std::size_t>(i)] = i == index;
        C.BtCOMVisible[static_cast<std::size_t>(i)] = i == index;
    }
    COMM2_.SetComPort(static_cast<TSerialPortNumber>(index));
    C.BtCOMHint = COMM2_.ComPortDeviceName();
}

void ConnectionControl::BtCOMClick(int panel)
{
    // A disabled panel takes no clicks (the link is connected).
    if (!C.BtCOMEnabled || panel < 0 || panel > 3)
        return;
    SelectPort((panel + 1) % 4);
}

// ---------------------------------------------------------------- USB link

THidDevice* ConnectionControl::SelectedDevice() const
{
    if (C.DevListBox.empty() || C.DevListBoxSelected < 0
        || static_cast<std::size_t>(C.DevListBoxSelected) >= C.DevListBox.size())
        return nullptr;
    return C.DevListBox[static_cast<std::size_t>(C.DevListBoxSelected)].device.get();
}

void ConnectionControl::TellNoAccess(THidDevice& device)
{
    // On Linux a cable without access is the common case; silence would leave the
    // user stuck.
    core_.messages().error("Could not open " + device.PnPInfo().InterfacePath
                           + ": Permission denied. The udev rule in packaging/ "
                             "(70-valdrin-usb-serial.rules) grants the logged-in user access to the cable.");
}

void ConnectionControl::USBConClick()
{
    const Changing changing(*this);
    ReadBtnClick();
    SetFeatureClick();
    core_.S.UsbIdleReports = 0;
    if (selectReadable(C.USBCon))
        CurrentDevice->SetDataHandler(C.USBCon ? ZentorHandler() : THidDataEvent{});
}

void ConnectionControl::ReadBtnClick()
{
    const Changing changing(*this);
    if (selectReadable(C.ReadBtn))
        CurrentDevice->SetDataHandler(C.ReadBtn ? TeskarHandler() : THidDataEvent{});
}

// CurrentDevice := the selected device. Without read and write access the button is
// released (saying why when it was being pressed) and nothing is read.
bool ConnectionControl::selectReadable(bool& button)
{
    CurrentDevice = SelectedDevice();
    if (!CurrentDevice)
        return false;
    if (!CurrentDevice->CanReadWrite()) {
        if (button)
            TellNoAccess(*CurrentDevice);
        button = false;
        return false;
    }
    return true;
}

void ConnectionControl::SetFeatureClick()
{
    const Changing changing(*this);
    CurrentDevice = nullptr;
    THidDevice* selected = SelectedDevice();
    if (!selected) {
        core_.messages().information(kNotConnected);
        C.USBCon = false;
        return;
    }
    CurrentDevice = selected;
    const std::array<uint8_t, 11> buffer = cableFeatureReport();
    CurrentDevice->SendFeatureReport(buffer.data(), 10);
    std::string line;
    char pair[4];
    for (std::size_t i = 1; i <= 10; ++i) {
        std::snprintf(pair, sizeof pair, "%.2X ", buffer[i]);
        line += pair;
    }
    core_.HistoryListBox.add(line);
}

// ---------------------------------------------------------------- device list

std::string ConnectionControl::DescribeDevice(THidDevice& device)
{
    std::string text;
    const std::u16string product = device.ProductString();
    if (!product.empty()) {
        text = toLocal8Bit(product);
    } else {
        char ids[40];
        std::snprintf(ids, sizeof ids, "Device VID=%.4X PID=%.4X", device.VendorID(), device.ProductID());
        text = ids;
    }
    const std::u16string serial = device.SerialString();
    if (!serial.empty())
        text += " (Serial=" + toLocal8Bit(serial) + ")";
    return text;
}

void ConnectionControl::HidCtlArrival(THidDevice& HidDev)
{
    core_.HistoryListBox.add("Arrival of " + DescribeDevice(HidDev));
}

void ConnectionControl::HidCtlRemoval(THidDevice& HidDev)
{
    core_.HistoryListBox.add("Removal of " + DescribeDevice(HidDev));
}

void ConnectionControl::HidCtlDeviceDataError(THidDevice&, uint32_t Error)
{
    core_.HistoryListBox.add(readErrorLine(std::strerror(static_cast<int>(Error)), Error));
}

bool ConnectionControl::HidCtlEnumerate(THidDevice& HidDev, int32_t Idx)
{
    const Changing changing(*this);
    DevListLine line;
    line.text = DescribeDevice(HidDev);
    HidCtl_.ClaimByIndex(line.device, Idx);
    C.DevListBox.push_back(std::move(line));
    return true;
}

void ConnectionControl::HidCtlDeviceChange()
{
    const Changing changing(*this);
    C.ReadBtn = false;
    ReadBtnClick();
    CurrentDevice = nullptr;
    C.DevListBox.clear();  // destroys the device objects: they go back to HidCtl
    C.DevListBoxSelected = -1;
    HidCtl_.EnumerateDevices();
    for (std::size_t i = 0; i < C.DevListBox.size(); ++i)
        if (C.DevListBox[i].text == kUsbToSerial)
            C.DevListBoxSelected = static_cast<int>(i);
}

void ConnectionControl::ClearBtnClick()
{
    core_.HistoryListBox.clear();
}

void ConnectionControl::InfoBtnClick()
{
    THidDevice* device = SelectedDevice();
    if (!device)
        return;
    const HidCaps caps = device->Capabilities();
    char facts[160];
    std::snprintf(facts, sizeof facts, "VID=%.4X PID=%.4X Version=%.4X\nInput report %u bytes, feature report %u bytes",
                  device->VendorID(), device->ProductID(), device->VersionNumber(), caps.InputReportByteLength,
                  caps.FeatureReportByteLength);
    core_.messages().information(DescribeDevice(*device) + "\n" + device->PnPInfo().InterfacePath + "\n" + facts);
}

} // namespace valdrin
