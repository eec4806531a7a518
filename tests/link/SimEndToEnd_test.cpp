// valdrin-sim as a meter on a wire: its pseudo-terminal opened by the serial
// driver, its USB report lines fed to the USB unpacker; the demonstration comes
// out of the decoder whole.
#include "link/SerialDrv.h"
#include "meter/FcommCore.h"
#include "tests/support/CoreFixture.h"
#include "tools/valdrin-sim/DemoSequence.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace valdrin {
namespace {

class Values final : public FrameObserver {
public:
    void frameDecoded(const FcommCore& core, const FrameReport&) override { got.push_back(core.S.ReadingValue); }
    std::vector<std::string> got;
};

std::vector<std::string> demoValues()
{
    std::vector<std::string> values;
    for (const std::string& reading : sim::demoSequence(true)) {  // the Zentor family's form
        std::string v = reading.substr(0, reading.find(' '));
        values.push_back(v == "OL" ? ".0L" : v);
    }
    return values;
}

TEST(SimEndToEnd, PseudoTerminalCarriesTheDemonstrationToTheDecoder)
{
    FILE* sim = popen(VALDRIN_SIM " --pty --wait --fast", "r");
    ASSERT_NE(sim, nullptr);
    char line[256] = {};
    ASSERT_NE(fgets(line, sizeof line, sim), nullptr);
    std::string path = line;
    path.erase(path.find_last_not_of("\n") + 1);
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

    test::CoreFixture f;
    FcommCore& core = f.core;
    Values values;
    core.observer = &values;
    LoopPollTimer timer;
    TSerialPortDriver port(timer);
    port.SetComPortDevice(path);
    port.SetComPortSpeed(br2400);
    port.SetOnReceiveData([&](TSerialPortDriver&, const uint8_t* data, int32_t size) { core.OnReceiveData(data, size); });
    ASSERT_TRUE(port.OpenComPort()) << port.LastOpenError();

    LoopPollTimer otherTimer;
    TSerialPortDriver other(otherTimer);
    other.SetComPortDevice(path);
    EXPECT_FALSE(other.OpenComPort()) << "the port is held";

    const std::vector<std::string> expected = demoValues();
    for (int i = 0; i < 10000 && values.got.size() < expected.size(); ++i) {
        timer.fire();
        usleep(1000);
    }
    EXPECT_EQ(values.got, expected);
    // The simulator hangs up after its last frame: polls go on quietly.
    pclose(sim);
    for (int i = 0; i < 50; ++i)
        timer.fire();
    EXPECT_EQ(values.got.size(), expected.size());
    EXPECT_TRUE(f.messages.errors.empty());
}

TEST(SimEndToEnd, UsbReportLinesDecodeThroughTheUnpacker)
{
    FILE* sim = popen(VALDRIN_SIM " --usb --fast", "r");
    ASSERT_NE(sim, nullptr);
    test::CoreFixture f;
    FcommCore& core = f.core;
    Values values;
    core.observer = &values;
    char line[256];
    while (fgets(line, sizeof line, sim)) {
        std::istringstream in(line);
        std::vector<uint8_t> bytes;
        for (unsigned v; in >> std::hex >> v;)
            bytes.push_back(static_cast<uint8_t>(v));
        ASSERT_FALSE(bytes.empty());
        core.UsbZentorData(bytes[0], bytes.data() + 1, static_cast<uint16_t>(bytes.size() - 1));
    }
    EXPECT_EQ(pclose(sim), 0);
    EXPECT_EQ(values.got, demoValues());
}

} // namespace
} // namespace valdrin
