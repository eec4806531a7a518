// The connection handlers on a real serial driver (pseudo-terminal), the HID
// controller over a fake HID system, and the core.
#include "link/ConnectionControl.h"
#include "link/SerialLine.h"

#include "FakeHidSystem.h"
#include "tests/support/Pty.h"
#include "meter/FrameEncoding.h"
#include "tests/support/CoreFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace valdrin {
namespace {

using test::FakeDevice;
using test::hidDevice;

const char kNotConnected[] = "USB interface cable is not securely connected, please check and re-try.";
const char kMeterNotReady[] = "USB interface cable is securely connected, please check if the meter is ready.";
const char kFeatureLine[] = "60 09 00 00 03 00 00 00 00 00 ";

class Connection : public ::testing::Test {
protected:
    void start()
    {
        controller = std::make_unique<THidDeviceController>(owner, fake);
        control = std::make_unique<ConnectionControl>(core, port, *controller);
        port.SetComPortDevice(pty.slavePath());
    }
    std::vector<std::string> listTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& line : control->C.DevListBox)
            texts.push_back(line.text);
        return texts;
    }
    template <class Pred>
    bool pumpUntil(Pred pred)
    {
        for (int i = 0; i < 500 && !pred(); ++i)
            owner.waitAndProcess(std::chrono::milliseconds(10));
        return pred();
    }

    test::CoreFixture f;
    FcommCore& core = f.core;
    test::RecordingMessages& messages = f.messages;
    test::Pty pty;
    LoopPollTimer timer;
    TSerialPortDriver port{timer};
    OwnerThread owner;
    std::shared_ptr<test::FakeHidSystem> fake = std::make_shared<test::FakeHidSystem>();
    std::unique_ptr<THidDeviceController> controller;
    std::unique_ptr<ConnectionControl> control;
};

TEST_F(Connection, UsbConnectWithoutADeviceTellsTheUserAndLeavesTheButtonUp)
{
    start();
    control->ClickUSBCon();
    EXPECT_FALSE(control->C.USBCon);
    EXPECT_EQ(messages.texts("information"), std::vector<std::string>{kNotConnected});
    EXPECT_FALSE(port.ComPortOpen());
    EXPECT_TRUE(control->C.BTConVisible);
}

TEST_F(Connection, DeviceListDescribesEachDeviceAndSelectsTheLastPlainCable)
{
    FakeDevice numbered = hidDevice("2");
    numbered.serial = u"0042";
    FakeDevice anonymous = hidDevice("3", u"");
    anonymous.attributes.VendorID = 0x1A;
    anonymous.attributes.ProductID = 0xE008;
    fake->plug(hidDevice("0"));
    fake->plug(hidDevice("1", u"Keyboard"));
    fake->plug(hidDevice("4"));
    fake->plug(numbered);
    fake->plug(anonymous);
    start();
    const std::vector<std::string> expected = {"USB to Serial", "Keyboard", "USB to Serial",
                                               "USB to Serial (Serial=0042)", "Device VID=001A PID=E008"};
    EXPECT_EQ(listTexts(), expected);
    EXPECT_EQ(control->C.DevListBoxSelected, 2) << "the later of two plain cables";
    for (const auto& line : control->C.DevListBox)
        EXPECT_TRUE(line.device && line.device->Claimed());
}

TEST_F(Connection, NoCableNoSelection)
{
    fake->plug(hidDevice("0", u"usb to serial"));
    start();
    EXPECT_EQ(control->C.DevListBoxSelected, -1) << "the comparison is case-sensitive";
}

TEST_F(Connection, UsbConnectConfiguresTheCableAndDecodesItsReports)
{
    fake->plug(hidDevice("0"));
    start();
    control->ClickUSBCon();
    ASSERT_TRUE(control->C.USBCon);
    ASSERT_NE(control->CurrentDevice, nullptr);
    EXPECT_EQ(control->CurrentDevice->DataHandler().Code, "UsbZentorData");
    EXPECT_TRUE(control->CurrentDevice->ReaderRunning());
    ASSERT_EQ(fake->features().size(), 1u);
    EXPECT_EQ(fake->features()[0], (std::vector<uint8_t>{0x00, 0x60, 0x09, 0, 0, 0x03, 0, 0, 0, 0}));
    ASSERT_FALSE(core.HistoryListBox.empty());
    EXPECT_EQ(core.HistoryListBox.back(), kFeatureLine);

    for (const UsbReport& r : encodeUsbFrame(encodeLineFrame("123451121"), 3)) {
        std::vector<uint8_t> report{r.reportId};
        report.insert(report.end(), r.data.begin(), r.data.end());
        fake->queueReport("/dev/hidraw0", report);
    }
    ASSERT_TRUE(pumpUntil([&] { return core.S.ReadingValue == "1.2345"; }));
    EXPECT_EQ(core.S.ReadingUnit, "V");
    EXPECT_EQ(core.HistoryListBox.back(), "R 00  F2 0D 0A 00 00 00 00 00 ");

    // Releasing sends the configuration report again and stops the reader.
    control->ClickUSBCon();
    EXPECT_FALSE(control->C.USBCon);
    EXPECT_EQ(fake->features().size(), 2u);
    EXPECT_EQ(core.HistoryListBox.back(), kFeatureLine);
    EXPECT_FALSE(control->CurrentDevice->ReaderRunning());
}

TEST_F(Connection, ReadAttachesTheTeskarUnpackerAndReplacesZentor)
{
    fake->plug(hidDevice("0"));
    start();
    control->ClickUSBCon();
    control->ClickReadBtn();
    EXPECT_FALSE(control->C.USBCon) << "group 1 releases the other buttons";
    EXPECT_TRUE(control->C.ReadBtn);
    EXPECT_EQ(control->CurrentDevice->DataHandler().Code, "UsbTeskarData");
    EXPECT_TRUE(control->CurrentDevice->ReaderRunning());
}

TEST_F(Connection, ACableWithoutAccessReleasesTheButtonAndSaysWhy)
{
    FakeDevice locked = hidDevice("5");
    locked.readWrite = false;
    fake->plug(locked);
    start();
    ASSERT_EQ(control->C.DevListBoxSelected, 0);
    for (bool read : {false, true}) {
        messages.shown.clear();
        read ? control->ClickReadBtn() : control->ClickUSBCon();
        EXPECT_FALSE(control->C.USBCon);
        EXPECT_FALSE(control->C.ReadBtn);
        const std::vector<std::string> errors = messages.texts("error");
        ASSERT_EQ(errors.size(), 1u);
        const std::string& text = errors[0];
        EXPECT_NE(text.find("/dev/hidraw5"), std::string::npos) << text;
        EXPECT_NE(text.find("Permission denied"), std::string::npos) << text;
        EXPECT_NE(text.find("packaging/"), std::string::npos) << text;
    }
}

TEST_F(Connection, ReadErrorsAreLogged)
{
    fake->plug(hidDevice("0"));
    start();
    control->ClickUSBCon();
    fake->queueReadError("/dev/hidraw0", 5);
    ASSERT_TRUE(pumpUntil([&] { return core.HistoryListBox.back().rfind("READ ERROR: ", 0) == 0; }));
    EXPECT_EQ(core.HistoryListBox.back(), "READ ERROR: Input/output error (5)");
    EXPECT_EQ(readErrorLine("Access is denied.", 0x1F), "READ ERROR: Access is denied. (1F)");
}

TEST_F(Connection, AChangeOfTheDeviceSetDetachesTheHandlerButLeavesTheButton)
{
    fake->plug(hidDevice("0"));
    start();
    control->ClickUSBCon();
    fake->plug(hidDevice("1", u"Keyboard"));
    controller->DeviceChange();
    EXPECT_TRUE(control->C.USBCon);
    EXPECT_EQ(core.HistoryListBox.back(), "Arrival of Keyboard");
    ASSERT_EQ(control->C.DevListBox.size(), 2u);
    EXPECT_FALSE(control->C.DevListBox[0].device->ReaderRunning());
    EXPECT_TRUE(control->C.DevListBox[0].device->Claimed()) << "the rebuilt list claims again";

    fake->unplug("usb-1");
    controller->DeviceChange();
    ASSERT_GE(core.HistoryListBox.size(), 2u);
    EXPECT_EQ(core.HistoryListBox.back(), "Removal of Keyboard");
    EXPECT_EQ(control->C.DevListBox.size(), 1u);
}

TEST_F(Connection, ANewConnectionControlOnTheSameControllerListsTheDevicesAgain)
{
    fake->plug(hidDevice("0"));
    fake->plug(hidDevice("1", u"Keyboard"));
    start();
    control->ClickUSBCon();
    ASSERT_TRUE(control->CurrentDevice && control->CurrentDevice->ReaderRunning());
    EXPECT_EQ(controller->ClaimedCount(), 2);

    control.reset();
    EXPECT_EQ(controller->ClaimedCount(), 0) << "the list's devices went back";
    EXPECT_EQ(controller->UnclaimedCount(), 2);
    for (const auto& device : controller->Devices())
        EXPECT_FALSE(device->DataHandler()) << "no handler of the ended handlers stays";

    control = std::make_unique<ConnectionControl>(core, port, *controller);
    EXPECT_EQ(listTexts(), (std::vector<std::string>{"USB to Serial", "Keyboard"}));
    EXPECT_EQ(control->C.DevListBoxSelected, 0);
    EXPECT_FALSE(control->C.DevListBox[0].device->ReaderRunning());
}

TEST_F(Connection, SerialConnectAndDisconnectMoveTheControls)
{
    start();
    control->ClickCOMCon();
    ASSERT_TRUE(port.ComPortOpen());
    EXPECT_TRUE(control->C.COMCon);
    EXPECT_FALSE(control->C.BTConVisible);
    EXPECT_TRUE(control->C.BtDisconVisible);
    EXPECT_FALSE(control->C.BtCOMEnabled);
    EXPECT_FALSE(control->C.ComSetup1Enabled);
    EXPECT_TRUE(control->C.START1Checked && !control->C.START1Enabled);
    EXPECT_TRUE(control->C.STOP1Enabled && !control->C.STOP1Checked);
    EXPECT_EQ(timer.period().count(), 50);
    uint32_t rate = 0;
    int bits = 0;
    ASSERT_TRUE(readSerialLine(port.Handle(), rate, bits));
    EXPECT_EQ(rate, 2400u);

    control->ClickCOMCon();
    EXPECT_FALSE(port.ComPortOpen());
    EXPECT_TRUE(control->C.BTConVisible);
    EXPECT_FALSE(control->C.BtDisconVisible);
    EXPECT_TRUE(control->C.BtCOMEnabled && control->C.ComSetup1Enabled);
    EXPECT_TRUE(!control->C.START1Checked && control->C.START1Enabled);
    EXPECT_TRUE(control->C.STOP1Checked && !control->C.STOP1Enabled);
}

TEST_F(Connection, APortThatDoesNotOpenIsNotShownAsConnected)
{
    start();
    port.SetComPortDevice("/dev/valdrin-no-such-port");
    control->ClickCOMCon();
    EXPECT_FALSE(control->C.COMCon);
    EXPECT_TRUE(control->C.BTConVisible);
    EXPECT_TRUE(control->C.BtCOMEnabled);
    EXPECT_FALSE(timer.running());
    EXPECT_EQ(messages.texts("error"),
              std::vector<std::string>{"Could not open COM1 /dev/valdrin-no-such-port: No such file or directory"});
}

TEST_F(Connection, ThePortPanelCyclesAndRestsWhileConnected)
{
    start();
    const std::vector<TSerialPortNumber> order = {pnCOM2, pnCOM3, pnCOM4, pnCOM1};
    for (TSerialPortNumber expected : order) {
        int visible = 0;
        for (int i = 0; i < 4; ++i)
            if (control->C.BtCOMVisible[static_cast<std::size_t>(i)])
                visible = i;
        control->BtCOMClick(visible);
        EXPECT_EQ(port.ComPort(), expected);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(control->C.BtCOMVisible[static_cast<std::size_t>(i)], i == expected);
            EXPECT_EQ(control->C.COMChecked[static_cast<std::size_t>(i)], i == expected);
        }
    }
    control->ClickCOMCon();
    ASSERT_TRUE(port.ComPortOpen());
    control->BtCOMClick(0);
    EXPECT_EQ(port.ComPort(), pnCOM1);
    EXPECT_TRUE(control->C.BtCOMVisible[0]);
}

TEST_F(Connection, WatchdogTurnsTheIndicatorEveryThirdTickWithoutFrames)
{
    start();
    const Bytes frame = encodeLineFrame("123451121");
    std::vector<uint8_t> stream{0x0A};
    stream.insert(stream.end(), frame.begin(), frame.end());
    core.OnReceiveData(stream.data(), static_cast<int32_t>(stream.size()));
    ASSERT_TRUE(core.Lcd.CONok);
    // 100 ms ticks after the frame: shown for two, off at the third, and so on.
    const bool expectedOk[] = {true, true, false, false, false, false};
    for (bool ok : expectedOk) {
        core.ConTimerTimer();
        EXPECT_EQ(core.Lcd.CONok, ok);
        EXPECT_EQ(core.Lcd.CONokN, !ok);
    }
}

TEST_F(Connection, WatchdogEndsTheUsbLinkAtNineteenHundredIdleReports)
{
    fake->plug(hidDevice("0"));
    start();
    control->ClickUSBCon();
    THidDevice* device = control->CurrentDevice;
    ASSERT_TRUE(device && device->ReaderRunning());
    const struct {
        int idle;
        bool ends;
    } cases[] = {{1899, false}, {1900, true}};
    for (const auto& c : cases) {
        core.S.UsbIdleReports = c.idle;
        core.S.WatchdogTicks = 2;
        core.ConTimerTimer();
        EXPECT_EQ(!control->C.USBCon, c.ends) << c.idle;
        EXPECT_EQ(!device->ReaderRunning(), c.ends) << c.idle;
        EXPECT_EQ(messages.texts("information").size(), c.ends ? 1u : 0u) << c.idle;
    }
    EXPECT_EQ(messages.texts("information").back(), kMeterNotReady);
    EXPECT_EQ(core.S.UsbIdleReports, 0);
}

TEST_F(Connection, ClearEmptiesTheLog)
{
    fake->plug(hidDevice("0"));
    start();
    control->SetFeatureClick();
    ASSERT_FALSE(core.HistoryListBox.empty());
    control->ClearBtnClick();
    EXPECT_TRUE(core.HistoryListBox.empty());
}

TEST_F(Connection, EveryHandlerThatChangesTheControlsAdvancesTheRevision)
{
    // The fixture's members are reached through this test's own class.
    using Self = std::remove_reference_t<decltype(*this)>;
    struct Case {
        const char* name;
        std::vector<FakeDevice> devices;  // present at start
        std::function<void(Self&)> before, act;
        std::function<bool(const ConnectionControls&)> changed;  // what the handler wrote
    };
    const auto none = [](Self&) {};
    const std::vector<FakeDevice> cable{hidDevice("0")};
    const Case cases[] = {
        {"COM Connect", {}, none, [](Self& t) { t.control->ClickCOMCon(); },
         [](const ConnectionControls& c) { return c.COMCon && c.BtDisconVisible; }},
        {"COM Connect released", {}, [](Self& t) { t.control->ClickCOMCon(); },
         [](Self& t) { t.control->ClickCOMCon(); },
         [](const ConnectionControls& c) { return !c.COMCon && c.BTConVisible; }},
        {"port panel", {}, none, [](Self& t) { t.control->BtCOMClick(0); },
         [](const ConnectionControls& c) { return c.BtCOMVisible[1] && c.COMChecked[1]; }},
        {"port menu", {}, none, [](Self& t) { t.control->COM31Click(); },
         [](const ConnectionControls& c) { return c.COMChecked[2]; }},
        {"USB Connect", cable, none, [](Self& t) { t.control->ClickUSBCon(); },
         [](const ConnectionControls& c) { return c.USBCon; }},
        {"Read", cable, none, [](Self& t) { t.control->ClickReadBtn(); },
         [](const ConnectionControls& c) { return c.ReadBtn; }},
        {"cable arrives", {}, none,
         [](Self& t) {
             t.fake->plug(hidDevice("0"));
             t.controller->DeviceChange();
         },
         [](const ConnectionControls& c) { return c.DevListBox.size() == 1 && c.DevListBoxSelected == 0; }},
        {"cable removed", cable, none,
         [](Self& t) {
             t.fake->unplug("usb-0");
             t.controller->DeviceChange();
         },
         [](const ConnectionControls& c) { return c.DevListBox.empty() && c.DevListBoxSelected == -1; }},
        {"watchdog ends the USB link", cable,
         [](Self& t) {
             t.control->ClickUSBCon();
             t.core.S.UsbIdleReports = 1900;
             t.core.S.WatchdogTicks = 2;
         },
         [](Self& t) { t.core.ConTimerTimer(); }, [](const ConnectionControls& c) { return !c.USBCon; }},
        {"the window's own choice", {hidDevice("1", u"Keyboard")}, none,
         [](Self& t) {
             t.control->C.DevListBoxSelected = 0;
             t.control->controlsEdited();
         },
         [](const ConnectionControls& c) { return c.DevListBoxSelected == 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        control.reset();
        controller.reset();
        if (port.ComPortOpen())
            port.CloseComPort();
        fake = std::make_shared<test::FakeHidSystem>();
        for (const FakeDevice& d : c.devices)
            fake->plug(d);
        start();
        c.before(*this);
        EXPECT_FALSE(c.changed(control->C));
        const uint64_t before = control->revision();
        c.act(*this);
        EXPECT_TRUE(c.changed(control->C));
        EXPECT_GT(control->revision(), before);
    }
}

// Notes the revision while an error box is open, as the window's mirror sees it.
class RevisionAtError : public test::RecordingMessages {
public:
    const ConnectionControl* control = nullptr;
    uint64_t seen = 0;
    void error(const std::string& text, const std::string& caption) override
    {
        seen = control->revision();
        RecordingMessages::error(text, caption);
    }
};

TEST(ConnectionRevision, AdvancesAfterTheErrorBoxOfAHandler)
{
    RevisionAtError messages;
    test::CountingBeeper beeper;
    test::FixedClock clock;
    FcommCore core(messages, beeper, clock);
    LoopPollTimer timer;
    TSerialPortDriver port{timer};
    OwnerThread owner;
    THidDeviceController controller(owner, std::make_shared<test::FakeHidSystem>());
    ConnectionControl control(core, port, controller);
    messages.control = &control;
    port.SetComPortDevice("/dev/valdrin-no-such-port");
    control.ClickCOMCon();  // down while the box is open, up after it
    ASSERT_EQ(messages.texts("error").size(), 1u);
    EXPECT_FALSE(control.C.COMCon);
    EXPECT_GT(control.revision(), messages.seen);
}

} // namespace
} // namespace valdrin
