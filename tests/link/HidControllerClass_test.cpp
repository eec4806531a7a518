// The HID controller against a fake HID system: the list follows devices by their
// instance, claimed devices go back to the controller when destroyed, and the
// reader hands reports to the owner's thread in order, only while a handler is set.
#include "link/HidControllerClass.h"

#include "FakeHidSystem.h"

#include <gtest/gtest.h>

#include <thread>

namespace valdrin {
namespace {

using test::FakeDevice;
using test::FakeHidSystem;

FakeDevice cable(const std::string& n)
{
    FakeDevice d;
    d.instance = "usb-" + n;
    d.path = "/dev/hidraw" + n;
    return d;
}

struct Events {
    std::vector<std::string> log;
};

class HidController : public ::testing::Test {
protected:
    HidController()
    {
        fake->plug(cable("0"));
        fake->plug(cable("1"));
    }
    std::unique_ptr<THidDeviceController> make()
    {
        auto controller = std::make_unique<THidDeviceController>(owner, fake);
        controller->SetOnArrival({"HidCtlArrival", [this](THidDevice& d) {
                                      events.log.push_back("arrival " + d.PnPInfo().DeviceInstance
                                                           + (d.InEvent() ? " in-event" : ""));
                                  }});
        controller->SetOnRemoval({"HidCtlRemoval", [this](THidDevice& d) {
                                      events.log.push_back("removal " + d.PnPInfo().DeviceInstance
                                                           + (d.Attached() ? " attached" : " detached"));
                                  }});
        return controller;
    }
    // Runs deliveries on this (the owner's) thread until pred holds; bounded.
    template <class Pred>
    bool pumpUntil(Pred pred)
    {
        for (int i = 0; i < 500 && !pred(); ++i)
            owner.waitAndProcess(std::chrono::milliseconds(10));
        return pred();
    }

    std::shared_ptr<FakeHidSystem> fake = std::make_shared<FakeHidSystem>();
    OwnerThread owner;
    Events events;
};

TEST_F(HidController, ScanSkipsInterfacesThatCannotBeOpenedOrIdentified)
{
    FakeDevice closed = cable("2");
    closed.openable = false;
    FakeDevice anonymous = cable("3");
    anonymous.identifiable = false;
    FakeDevice queryOnly = cable("4");
    queryOnly.readWrite = false;
    fake->plug(closed);
    fake->plug(anonymous);
    fake->plug(queryOnly);
    auto controller = make();
    ASSERT_EQ(controller->Devices().size(), 3u);
    EXPECT_EQ(controller->Devices()[2]->PnPInfo().DeviceInstance, "usb-4");
    EXPECT_FALSE(controller->Devices()[2]->CanReadWrite());
    EXPECT_TRUE(controller->Devices()[0]->CanReadWrite());
    EXPECT_EQ(controller->UnclaimedCount(), 3);
    EXPECT_EQ(fake->openHandles(), 0) << "construction closes what it opened";
}

TEST_F(HidController, OnlyOneControllerPerProgram)
{
    auto first = make();
    try {
        THidDeviceController second(owner, fake);
        FAIL() << "a second controller was made";
    } catch (const EControllerError& e) {
        EXPECT_STREQ(e.what(), "Only one THidDeviceController allowed per program");
    }
    first.reset();
    EXPECT_NO_THROW(THidDeviceController(owner, fake)) << "the count goes down with the first";
}

TEST_F(HidController, EachHidSystemServesOneController)
{
    auto first = make();
    EXPECT_NO_THROW(THidDeviceController(owner, std::make_shared<FakeHidSystem>()));
    EXPECT_NO_THROW(THidDeviceController(owner, nullptr)) << "no system: no devices";
    EXPECT_TRUE(THidDeviceController(owner, nullptr).Devices().empty());
}

TEST_F(HidController, EveryNewDeviceChangeHandlerIsRaisedOnce)
{
    auto controller = make();
    std::vector<std::string> raised;
    controller->SetOnDeviceChange({"First", [&](THidDeviceController&) { raised.push_back("First"); }});
    controller->SetOnDeviceChange({});
    controller->SetOnDeviceChange({"Second", [&](THidDeviceController&) { raised.push_back("Second"); }});
    controller->SetOnDeviceChange({"Second", [&](THidDeviceController&) { raised.push_back("again"); }});
    EXPECT_EQ(raised, (std::vector<std::string>{"First", "Second"})) << "the same handler is no new one";
}

TEST_F(HidController, DeviceChangeFollowsArrivalRemovalAndReappearanceByInstance)
{
    auto controller = make();
    int changes = 0;
    controller->SetOnDeviceChange({"HidCtlDeviceChange", [&](THidDeviceController&) { ++changes; }});
    EXPECT_EQ(changes, 1) << "assigning the handler raises it once although nothing changed";

    controller->DeviceChange();
    EXPECT_EQ(changes, 1) << "the same devices are no change";
    EXPECT_TRUE(events.log.empty());

    fake->plug(cable("7"));
    controller->DeviceChange();
    EXPECT_EQ(changes, 2);
    ASSERT_EQ(controller->Devices().size(), 3u);
    EXPECT_EQ(events.log, (std::vector<std::string>{"arrival usb-7 in-event"}));

    events.log.clear();
    fake->unplug("usb-0");
    controller->DeviceChange();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(events.log, (std::vector<std::string>{"removal usb-0 detached"}));
    ASSERT_EQ(controller->Devices().size(), 2u) << "an unclaimed device that left is dropped";
    EXPECT_EQ(controller->Devices()[0]->PnPInfo().DeviceInstance, "usb-1");
}

TEST_F(HidController, ADetachedClaimedDeviceIsReportedUntilHandedBackThenReappearsAsNew)
{
    auto controller = make();
    THidClaim claimed;
    ASSERT_TRUE(controller->ClaimByIndex(claimed, 0));
    int unplugs = 0;
    claimed->SetUnplugHandler({"Unplug", [&](THidDevice&) { ++unplugs; }});

    fake->unplug("usb-0");
    controller->DeviceChange();
    controller->DeviceChange();
    EXPECT_EQ(events.log, (std::vector<std::string>{"removal usb-0 detached", "removal usb-0 detached"}));
    EXPECT_EQ(unplugs, 1) << "the unplug handler runs once";
    EXPECT_FALSE(claimed->Attached());
    EXPECT_EQ(controller->DetachedCount(), 1);

    // Plugged in again before the application let go: a new object arrives.
    events.log.clear();
    fake->plug(cable("0"));
    controller->DeviceChange();
    EXPECT_EQ(events.log, (std::vector<std::string>{"removal usb-0 detached", "arrival usb-0 in-event"}));
    EXPECT_EQ(controller->Devices().size(), 3u);

    claimed.reset();  // hand-back of a detached device removes its entry
    EXPECT_EQ(controller->Devices().size(), 2u);
    EXPECT_EQ(controller->DetachedCount(), 0);
}

TEST_F(HidController, RemovalHandlersMayLetGoOfDetachedDevices)
{
    auto controller = make();
    THidClaim first, second;
    ASSERT_TRUE(controller->ClaimByIndex(first, 0));
    ASSERT_TRUE(controller->ClaimByIndex(second, 1));
    int unplugs = 0;
    first->SetUnplugHandler({"Unplug", [&](THidDevice&) { ++unplugs; }});
    fake->unplug("usb-0");
    fake->unplug("usb-1");
    controller->DeviceChange();
    ASSERT_EQ(controller->DetachedCount(), 2) << "claimed devices stay, detached";

    // At the next scan the handler of the later device lets go of both, as a
    // rebuilt list would.
    events.log.clear();
    controller->SetOnRemoval({"HidCtlRemoval", [&](THidDevice& d) {
                                  events.log.push_back("removal " + d.PnPInfo().DeviceInstance);
                                  first.reset();
                                  second.reset();
                              }});
    controller->DeviceChange();
    EXPECT_EQ(events.log, (std::vector<std::string>{"removal usb-1"})) << "a device let go of is not reported";
    EXPECT_EQ(unplugs, 1);
    EXPECT_TRUE(controller->Devices().empty());
    EXPECT_EQ(controller->DetachedCount(), 0);
    EXPECT_EQ(controller->ClaimedCount(), 0);
    EXPECT_EQ(controller->UnclaimedCount(), 0);
}

TEST_F(HidController, ADeviceChangeAskedForInsideAnEventRunsAfterIt)
{
    auto controller = make();
    int changes = 0;
    controller->SetOnDeviceChange({"HidCtlDeviceChange", [&](THidDeviceController&) { ++changes; }});
    bool plugged = false;
    controller->SetOnRemoval({"HidCtlRemoval", [&](THidDevice& d) {
                                  events.log.push_back("removal " + d.PnPInfo().DeviceInstance);
                                  if (!plugged) {
                                      plugged = true;
                                      fake->plug(cable("7"));
                                      controller->DeviceChange();  // a notification taken by a nested loop
                                  }
                              }});
    fake->unplug("usb-0");
    fake->unplug("usb-1");
    controller->DeviceChange();
    EXPECT_EQ(events.log,
              (std::vector<std::string>{"removal usb-1", "removal usb-0", "arrival usb-7 in-event"}));
    ASSERT_EQ(controller->Devices().size(), 1u);
    EXPECT_EQ(controller->Devices()[0]->PnPInfo().DeviceInstance, "usb-7");
    EXPECT_EQ(changes, 3) << "the handler's own assignment, the removals, then the arrival";
}

TEST_F(HidController, AClaimOutlivesItsControllerWithTheDeviceDetached)
{
    THidClaim kept;
    int unplugs = 0;
    {
        auto controller = make();
        THidClaim moved;
        ASSERT_TRUE(controller->ClaimByIndex(moved, 0));
        kept = std::move(moved);
        EXPECT_FALSE(moved);
        kept->SetUnplugHandler({"Unplug", [&](THidDevice&) { ++unplugs; }});
        kept->SetDataHandler({"UsbZentorData", [](THidDevice&, uint8_t, const uint8_t*, uint16_t) {}});
        ASSERT_TRUE(kept->ReaderRunning());
        ASSERT_EQ(kept->ProductString(), u"USB to Serial");
        moved = std::move(kept);
        kept = std::move(moved);
    }
    ASSERT_TRUE(kept);
    EXPECT_EQ(unplugs, 1);
    EXPECT_FALSE(kept->Attached());
    EXPECT_EQ(kept->Controller(), nullptr);
    EXPECT_FALSE(kept->HandlesOpen());
    EXPECT_EQ(kept->ProductString(), u"USB to Serial") << "what was read stays readable";
    kept.reset();
    EXPECT_EQ(fake->openHandles(), 0);
    EXPECT_NO_THROW(THidDeviceController(owner, fake)) << "the system is free again";
}

TEST_F(HidController, ClaimAndHandBackKeepsTheDataHandler)
{
    auto controller = make();
    THidClaim device;
    EXPECT_FALSE(controller->ClaimByIndex(device, 2));
    EXPECT_EQ(device.get(), nullptr);
    ASSERT_TRUE(controller->ClaimByIndex(device, 1));
    THidClaim again;
    EXPECT_FALSE(controller->ClaimByIndex(again, 1)) << "claimed already";
    EXPECT_EQ(again.get(), nullptr);
    EXPECT_EQ(controller->ClaimedCount(), 1);
    EXPECT_EQ(controller->UnclaimedCount(), 1);

    std::vector<uint8_t> got;
    device->SetDataHandler({"UsbZentorData", [&](THidDevice&, uint8_t, const uint8_t* data, uint16_t) {
                                got.push_back(data[0]);
                            }});
    EXPECT_TRUE(device->ReaderRunning());
    device.reset();
    ASSERT_EQ(controller->Devices().size(), 2u);
    THidDevice* fresh = controller->Devices()[1].get();
    EXPECT_EQ(fresh->PnPInfo().DeviceInstance, "usb-1");
    EXPECT_FALSE(fresh->Claimed());
    EXPECT_FALSE(fresh->ReaderRunning());
    EXPECT_EQ(fresh->DataHandler().Code, "UsbZentorData");
    EXPECT_EQ(controller->ClaimedCount(), 0);
    EXPECT_EQ(controller->UnclaimedCount(), 2);

    THidClaim reclaimed;
    ASSERT_TRUE(controller->ClaimByIndex(reclaimed, 1));
    EXPECT_TRUE(reclaimed->ReaderRunning()) << "the kept handler reads again once claimed";
    fake->queueReport("/dev/hidraw1", {0, 0xF1, 0x31});
    EXPECT_TRUE(pumpUntil([&] { return got.size() == 1; }));
}

TEST_F(HidController, ReportsReachTheOwnerThreadInOrderOnlyWhileAHandlerIsSet)
{
    auto controller = make();
    THidClaim device;
    controller->Devices()[0]->SetDataHandler({"Early", [](THidDevice&, uint8_t, const uint8_t*, uint16_t) {}});
    EXPECT_FALSE(controller->Devices()[0]->ReaderRunning()) << "no reader before the claim";
    ASSERT_TRUE(controller->ClaimByIndex(device, 0));

    struct Got {
        uint8_t id;
        std::vector<uint8_t> data;
        std::thread::id thread;
    };
    std::vector<Got> got;
    device->SetDataHandler({"UsbZentorData", [&](THidDevice& d, uint8_t id, const uint8_t* data, uint16_t size) {
                                EXPECT_EQ(&d, device.get());
                                got.push_back({id, {data, data + size}, std::this_thread::get_id()});
                            }});
    for (uint8_t i = 1; i <= 20; ++i)
        fake->queueReport("/dev/hidraw0", {0, static_cast<uint8_t>(0xF0 | (i % 8)), i, 0, 0});
    ASSERT_TRUE(pumpUntil([&] { return got.size() == 20; }));
    for (uint8_t i = 1; i <= 20; ++i) {
        EXPECT_EQ(got[i - 1u].id, 0);
        ASSERT_EQ(got[i - 1u].data.size(), 4u) << "size is the report without its ID";
        EXPECT_EQ(got[i - 1u].data[1], i);
        EXPECT_EQ(got[i - 1u].thread, std::this_thread::get_id());
    }

    device->SetDataHandler({});
    EXPECT_FALSE(device->ReaderRunning());
    fake->queueReport("/dev/hidraw0", {0, 0xF1, 0x99});
    owner.waitAndProcess(std::chrono::milliseconds(150));
    EXPECT_EQ(got.size(), 20u);
}

TEST_F(HidController, StoppingTheReaderTakesAtMostTheWaitInProgress)
{
    auto controller = make();
    THidClaim device;
    ASSERT_TRUE(controller->ClaimByIndex(device, 0));
    device->SetReaderWaitTime(200);
    int reports = 0;
    device->SetDataHandler({"UsbZentorData", [&](THidDevice&, uint8_t, const uint8_t*, uint16_t) { ++reports; }});
    fake->queueReport("/dev/hidraw0", {0, 0xF1, 0x31});
    ASSERT_TRUE(pumpUntil([&] { return reports == 1; }));

    fake->mark();
    device->SetDataHandler({});
    EXPECT_LE(fake->readsSinceMark(), 1) << "no further wait once the stop was seen";
    for (int timeout : fake->readTimeouts())
        EXPECT_EQ(timeout, 200) << "every wait is one ReaderWaitTime slice";
    const int after = fake->readsSinceMark();
    owner.waitAndProcess(std::chrono::milliseconds(50));
    EXPECT_EQ(fake->readsSinceMark(), after) << "the reader has ended";
}

TEST_F(HidController, AHandlerMayStopItsOwnReader)
{
    auto controller = make();
    THidClaim device;
    ASSERT_TRUE(controller->ClaimByIndex(device, 0));
    int reports = 0;
    device->SetDataHandler({"UsbZentorData", [&](THidDevice& d, uint8_t, const uint8_t*, uint16_t) {
                                ++reports;
                                d.SetDataHandler({});  // as the watchdog's message loop may do
                            }});
    fake->queueReport("/dev/hidraw0", {0, 0xF1, 0x31});
    fake->queueReport("/dev/hidraw0", {0, 0xF1, 0x32});
    ASSERT_TRUE(pumpUntil([&] { return reports == 1; }));
    EXPECT_FALSE(device->ReaderRunning());
    owner.waitAndProcess(std::chrono::milliseconds(150));
    EXPECT_EQ(reports, 1);
}

TEST_F(HidController, ReadFailuresGoToTheDataErrorHandler)
{
    auto controller = make();
    THidClaim device;
    ASSERT_TRUE(controller->ClaimByIndex(device, 0));
    device->SetReaderWaitTime(10);
    std::vector<uint32_t> errors;
    device->SetDataErrorHandler({"HidCtlDeviceDataError", [&](THidDevice&, uint32_t e) { errors.push_back(e); }});
    int reports = 0;
    device->SetDataHandler({"UsbZentorData", [&](THidDevice&, uint8_t, const uint8_t*, uint16_t) { ++reports; }});
    fake->queueReadError("/dev/hidraw0", EIO);
    fake->queueReport("/dev/hidraw0", {0, 0xF1, 0x31});
    ASSERT_TRUE(pumpUntil([&] { return reports == 1; })) << "the reader goes on after an error";
    EXPECT_EQ(errors, std::vector<uint32_t>{EIO});
}

TEST_F(HidController, ADeviceWithoutReadWriteAccessNeverReads)
{
    fake->unplug("usb-0");
    FakeDevice locked = cable("0");
    locked.readWrite = false;
    fake->plug(locked);
    auto controller = make();
    THidClaim device;
    ASSERT_TRUE(controller->ClaimByIndex(device, 1));
    EXPECT_EQ(device->PnPInfo().DeviceInstance, "usb-0");
    EXPECT_FALSE(device->CanReadWrite());
    device->SetDataHandler({"UsbZentorData", [](THidDevice&, uint8_t, const uint8_t*, uint16_t) {}});
    EXPECT_FALSE(device->ReaderRunning());
    EXPECT_EQ(device->ProductString(), u"USB to Serial") << "strings work without access";
    EXPECT_EQ(device->VendorID(), 0x1A86);
    const uint8_t report[10] = {0, 0x60, 0x09};
    EXPECT_FALSE(device->SendFeatureReport(report, sizeof report));
}

TEST_F(HidController, SerialStringFollowsTheLanguageTableRule)
{
    const struct {
        std::u16string serial;
        std::optional<std::u16string> languages;
        std::u16string expected;
    } cases[] = {
        {u"A1B2", u"\u0409", u"A1B2"},
        {u"\u0409", u"\u0409", u""},             // repeats the language table
        {u"\u0409\u0407X", u"\u0409\u0407", u""}, // equal over the table's length
        {u"A1B2", std::nullopt, u""},            // the table query answers nothing
        {u"", u"\u0409", u""},
    };
    for (const auto& c : cases) {
        fake->unplug("usb-0");
        FakeDevice d = cable("0");
        d.serial = c.serial;
        d.languages = c.languages;
        fake->plug(d);
        auto controller = make();
        THidClaim device;
        ASSERT_TRUE(controller->ClaimByIndex(device, 1));
        ASSERT_EQ(device->PnPInfo().DeviceInstance, "usb-0");
        EXPECT_EQ(device->SerialString(), c.expected);
    }
}

TEST_F(HidController, ReaderWaitTimeAcceptsTenToTenThousand)
{
    auto controller = make();
    THidDevice* device = controller->Devices()[0].get();
    const struct {
        int value;
        int kept;
    } cases[] = {{9, 100}, {10, 10}, {10000, 10000}, {10001, 10000}};
    for (const auto& c : cases) {
        device->SetReaderWaitTime(c.value);
        EXPECT_EQ(device->ReaderWaitTime(), c.kept) << c.value;
    }
}

TEST_F(HidController, NewHandlersReachOnlyDevicesThatKeptTheOldOne)
{
    auto controller = make();
    controller->SetOnDeviceData({"A", [](THidDevice&, uint8_t, const uint8_t*, uint16_t) {}});
    controller->Devices()[1]->SetDataHandler({"Own", [](THidDevice&, uint8_t, const uint8_t*, uint16_t) {}});
    controller->SetOnDeviceData({"B", [](THidDevice&, uint8_t, const uint8_t*, uint16_t) {}});
    EXPECT_EQ(controller->Devices()[0]->DataHandler().Code, "B");
    EXPECT_EQ(controller->Devices()[1]->DataHandler().Code, "Own");

}

TEST_F(HidController, EnumerationOpensDevicesOnlyForTheEvent)
{
    auto controller = make();
    std::vector<int32_t> seen;
    controller->SetOnEnumerate({"HidCtlEnumerate", [&](THidDevice& d, int32_t idx) {
                                    EXPECT_TRUE(d.InEvent());
                                    EXPECT_EQ(d.ProductString(), u"USB to Serial");
                                    seen.push_back(idx);
                                    return true;
                                }});
    EXPECT_EQ(controller->EnumerateDevices(), 2);
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(fake->openHandles(), 0);
    EXPECT_FALSE(controller->Devices()[0]->InEvent());
}

} // namespace
} // namespace valdrin
