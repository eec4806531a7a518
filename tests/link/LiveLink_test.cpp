// The companion's live reading: the connection handlers driven as the window's
// buttons would drive them, on a pseudo-terminal and on a fake HID system, until
// the test's stop holds.
#include "link/LiveLink.h"
#include "link/SerialDrv.h"

#include "FakeHidSystem.h"
#include "tests/support/Pty.h"
#include "meter/FrameEncoding.h"
#include "tests/support/CoreFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>

namespace valdrin {
namespace {

using test::FakeDevice;
using test::FakeHidSystem;
using test::hidDevice;

const char kMeterNotReady[] = "USB interface cable is securely connected, please check if the meter is ready.";

// Stops when done() holds, and ends a run gone wrong after a bound, so that a
// fault fails the test instead of hanging it; boundReached tells which.
struct Stop {
    std::function<bool()> done;
    std::chrono::steady_clock::time_point bound = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool boundReached = false;

    std::function<bool()> operator()()
    {
        return [this] {
            if (done())
                return true;
            boundReached = std::chrono::steady_clock::now() > bound;
            return boundReached;
        };
    }
};

void queueFrame(FakeHidSystem& fake, const std::string& path, const Bytes& meterBytes)
{
    for (const UsbReport& r : encodeUsbFrame(meterBytes, 3)) {
        std::vector<uint8_t> report{r.reportId};
        report.insert(report.end(), r.data.begin(), r.data.end());
        fake.queueReport(path, report);
    }
}

TEST(LiveLink, PortDecodesWhatTheMeterWritesAndIsLetGoAtTheEnd)
{
    test::Pty pty;
    test::CoreFixture f;
    Bytes stream{0x0A};
    for (const char* nibbles : {"123451121", "223451121"}) {
        const Bytes frame = encodeLineFrame(nibbles);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    bool written = false;
    Stop stop{[&] {
        if (!written) {
            pty.write(stream);  // the port is open once the loop runs: opening purges
            written = true;
        }
        return f.core.framesDecoded == 2;
    }};
    std::ostringstream err;
    EXPECT_EQ(runLivePort(pty.slavePath(), f.core, stop(), err), 0);
    EXPECT_FALSE(stop.boundReached);
    EXPECT_EQ(f.core.S.ReadingValue, "2.2345");
    EXPECT_EQ(f.core.cds1.size(), 2u);
    EXPECT_EQ(err.str(), "");

    LoopPollTimer timer;
    TSerialPortDriver again(timer);
    again.SetComPortDevice(pty.slavePath());
    EXPECT_TRUE(again.OpenComPort()) << "the run's end released the port";
}

TEST(LiveLink, DevicesThatCannotBeReadExitTwoWithTheReason)
{
    FakeDevice locked = hidDevice("5");
    locked.readWrite = false;
    const struct {
        bool hid;
        std::string path;
        std::string err;
    } cases[] = {
        {false, "/dev/valdrin-no-such-port", "Could not open /dev/valdrin-no-such-port: No such file or directory\n"},
        {true, "/dev/hidraw9", "Could not open /dev/hidraw9: not a HID device present\n"},
        {true, "/dev/hidraw5",
         "Could not open /dev/hidraw5: Permission denied (the udev rule in packaging/ grants the logged-in user "
         "access to the cable)\n"},
    };
    for (const auto& c : cases) {
        auto fake = std::make_shared<FakeHidSystem>();
        fake->plug(hidDevice("0"));
        fake->plug(locked);
        test::CoreFixture f;
        std::ostringstream err;
        const auto never = [] { return true; };
        const int status = c.hid ? runLiveHid(c.path, f.core, false, never, err, fake)
                                 : runLivePort(c.path, f.core, never, err);
        EXPECT_EQ(status, 2) << c.path;
        EXPECT_EQ(err.str(), c.err);
    }
}

TEST(LiveLink, HidReadsTheDeviceAtItsPathNotThePlainCable)
{
    auto fake = std::make_shared<FakeHidSystem>();
    fake->plug(hidDevice("0"));
    fake->plug(hidDevice("1", u"Bench cable"));
    queueFrame(*fake, "/dev/hidraw0", encodeLineFrame("999991121"));
    queueFrame(*fake, "/dev/hidraw1", encodeLineFrame("123451121"));
    test::CoreFixture f;
    Stop stop{[&] { return f.core.framesDecoded == 1; }};
    std::ostringstream err;
    EXPECT_EQ(runLiveHid("/dev/hidraw1", f.core, false, stop(), err, fake), 0);
    EXPECT_FALSE(stop.boundReached);
    EXPECT_EQ(f.core.S.ReadingValue, "1.2345");
    ASSERT_EQ(fake->features().size(), 1u) << "the cable is configured once";
    EXPECT_EQ(fake->features()[0], (std::vector<uint8_t>{0x00, 0x60, 0x09, 0, 0, 0x03, 0, 0, 0, 0}));
    EXPECT_EQ(err.str(), "");
}

TEST(LiveLink, HidTeskarConfiguresTheCableAndReadsTeskarFrames)
{
    auto fake = std::make_shared<FakeHidSystem>();
    fake->plug(hidDevice("0"));
    // A Zentor frame first: the Teskar unpacker must pass it by.
    queueFrame(*fake, "/dev/hidraw0", encodeLineFrame("123451121"));
    queueFrame(*fake, "/dev/hidraw0", encodeTeskarFrame(test::TeskarFrame().digits("1234").nibbles()));
    CoreOptions teskar;
    teskar.switches.IFTeskar = true;  // as the companion's --family teskar sets it
    test::CoreFixture f(teskar);
    Stop stop{[&] { return f.core.framesDecoded == 1; }};
    std::ostringstream err;
    EXPECT_EQ(runLiveHid("/dev/hidraw0", f.core, true, stop(), err, fake), 0);
    EXPECT_FALSE(stop.boundReached);
    EXPECT_EQ(f.digits().substr(1), "1234");
    EXPECT_EQ(fake->features().size(), 1u);
}

TEST(LiveLink, AChangeOfTheDeviceSetDoesNotEndHidReading)
{
    auto fake = std::make_shared<FakeHidSystem>();
    fake->plug(hidDevice("0"));
    queueFrame(*fake, "/dev/hidraw0", encodeLineFrame("123451121"));
    test::CoreFixture f;
    int phase = 0;
    Stop stop{[&] {
        if (phase == 0 && f.core.framesDecoded == 1) {
            fake->plug(hidDevice("1", u"Keyboard"));
            fake->announce();
            phase = 1;
        } else if (phase == 1
                   && std::count(f.core.HistoryListBox.begin(), f.core.HistoryListBox.end(), "Arrival of Keyboard")) {
            // Taken: the rebuilt list has detached the handler. Only a second
            // press reads this frame.
            queueFrame(*fake, "/dev/hidraw0", encodeLineFrame("223451121"));
            phase = 2;
        }
        return f.core.framesDecoded == 2;
    }};
    std::ostringstream err;
    EXPECT_EQ(runLiveHid("/dev/hidraw0", f.core, false, stop(), err, fake), 0);
    EXPECT_FALSE(stop.boundReached) << "phase " << phase;
    EXPECT_EQ(f.core.S.ReadingValue, "2.2345");
}

TEST(LiveLink, OnlyIdleReportsEndTheHidRunAtTheWatchdog)
{
    auto fake = std::make_shared<FakeHidSystem>();
    fake->plug(hidDevice("0"));
    for (int i = 0; i < 1900; ++i)
        fake->queueReport("/dev/hidraw0", std::vector<uint8_t>(9, 0));
    test::CoreFixture f;
    Stop stop{[] { return false; }};
    std::ostringstream err;
    EXPECT_EQ(runLiveHid("/dev/hidraw0", f.core, false, stop(), err, fake), 0);
    EXPECT_FALSE(stop.boundReached) << "the watchdog ends the run";
    EXPECT_EQ(f.messages.texts("information"), std::vector<std::string>{kMeterNotReady});
}

} // namespace
} // namespace valdrin
