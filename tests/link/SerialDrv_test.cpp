// The serial driver on a real pseudo-terminal: what a meter writes on the master
// side must reach OnReceiveData unchanged, however the terminal cuts it.
#include "link/SerialDrv.h"
#include "link/SerialLine.h"
#include "meter/FcommCore.h"
#include "meter/FrameEncoding.h"
#include "tests/support/Pty.h"
#include "tests/support/CoreFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace valdrin {
namespace {

using test::Pty;
using test::queuedBytes;
using test::waitQueued;

struct Delivery {
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<uint8_t> joined() const
    {
        std::vector<uint8_t> all;
        for (const auto& b : blocks)
            all.insert(all.end(), b.begin(), b.end());
        return all;
    }
};

class SerialPort : public ::testing::Test {
protected:
    SerialPort()
    {
        port.SetComPortDevice(pty.slavePath());
        port.SetOnReceiveData([this](TSerialPortDriver& sender, const uint8_t* data, int32_t size) {
            EXPECT_EQ(&sender, &port);
            EXPECT_GE(size, 1);
            got.blocks.emplace_back(data, data + size);
        });
    }
    // Polls until want bytes have arrived in all (bounded).
    void pollUntil(std::size_t want)
    {
        for (int i = 0; i < 5000 && got.joined().size() < want; ++i) {
            timer.fire();
            if (got.joined().size() < want)
                usleep(1000);
        }
    }

    Pty pty;
    LoopPollTimer timer;
    TSerialPortDriver port{timer};
    Delivery got;
};

TEST_F(SerialPort, OpensWithTheDefaultLineAndPollsAtItsPeriod)
{
    ASSERT_TRUE(port.OpenComPort()) << port.LastOpenError();
    uint32_t rate = 0;
    int bits = 0;
    ASSERT_TRUE(readSerialLine(port.Handle(), rate, bits));
    EXPECT_EQ(rate, 9600u);
    EXPECT_EQ(bits, 8);
    EXPECT_TRUE(timer.running());
    EXPECT_EQ(timer.period().count(), 50);
}

TEST_F(SerialPort, RateTableReachesTheLine)
{
    ASSERT_TRUE(port.OpenComPort());
    const struct {
        TSerialPortBaudRate speed;
        uint32_t rate;
    } cases[] = {{br110, 110}, {br2400, 2400}, {br14400, 14400}, {br56000, 56000}, {br115200, 115200}};
    for (const auto& c : cases) {
        port.SetComPortSpeed(c.speed);
        uint32_t rate = 0;
        int bits = 0;
        ASSERT_TRUE(readSerialLine(port.Handle(), rate, bits));
        EXPECT_EQ(rate, c.rate);
    }
    // (A pseudo-terminal keeps 8 data bits whatever it is told; the character size
    // cannot be checked here.)
}

TEST_F(SerialPort, RandomWritesArriveUnchangedInBlocks)
{
    ASSERT_TRUE(port.OpenComPort());
    std::mt19937 random(7);
    std::vector<uint8_t> sent;
    for (int i = 0; i < 3000; ++i)
        sent.push_back(static_cast<uint8_t>(random()));
    std::size_t at = 0;
    while (at < sent.size()) {
        const std::size_t n = std::min<std::size_t>(1 + random() % 40, sent.size() - at);
        pty.write({sent.begin() + static_cast<long>(at), sent.begin() + static_cast<long>(at + n)});
        at += n;
        // Several writes may join into one poll's block.
        if (random() % 3 == 0)
            timer.fire();
    }
    pollUntil(sent.size());
    EXPECT_EQ(got.joined(), sent);
    EXPECT_GT(got.blocks.size(), 1u);
}

TEST_F(SerialPort, APollDeliversAtMostTheBufferSize)
{
    port.SetComPortInBufSize(16);
    ASSERT_TRUE(port.OpenComPort());
    timer.fire();
    EXPECT_TRUE(got.blocks.empty()) << "a tick with nothing queued raises no event";
    std::vector<uint8_t> bytes(40, 0x55);
    pty.write(bytes);
    ASSERT_TRUE(waitQueued(port.Handle(), 40));
    timer.fire();
    timer.fire();
    timer.fire();
    ASSERT_EQ(got.blocks.size(), 3u);
    EXPECT_EQ(got.blocks[0].size(), 16u);
    EXPECT_EQ(got.blocks[1].size(), 16u);
    EXPECT_EQ(got.blocks[2].size(), 8u);
}

TEST_F(SerialPort, ASecondOpenFailsWhileTheFirstHoldsThePort)
{
    ASSERT_TRUE(port.OpenComPort());
    LoopPollTimer otherTimer;
    TSerialPortDriver other(otherTimer);
    other.SetComPortDevice(pty.slavePath());
    EXPECT_FALSE(other.OpenComPort());
    EXPECT_FALSE(other.ComPortOpen());
    EXPECT_EQ(other.Handle(), TSerialPortDriver::kInvalidHandle);
    EXPECT_FALSE(other.LastOpenError().empty());
    EXPECT_FALSE(otherTimer.running());

    port.CloseComPort();
    EXPECT_TRUE(other.OpenComPort()) << "a later call may succeed";
}

TEST_F(SerialPort, ChangingTheSpeedWhileOpenPurgesWhatIsQueued)
{
    ASSERT_TRUE(port.OpenComPort());
    pty.write(std::vector<uint8_t>(30, 0x31));
    ASSERT_TRUE(waitQueued(port.Handle(), 30));

    // Opening an open port changes nothing: no purge, no second timer.
    EXPECT_TRUE(port.OpenComPort());
    EXPECT_EQ(queuedBytes(port.Handle()), 30);
    EXPECT_EQ(timer.starts(), 1);

    port.SetComPortSpeed(br2400);
    EXPECT_EQ(queuedBytes(port.Handle()), 0);
    timer.fire();
    EXPECT_TRUE(got.blocks.empty());
}

TEST_F(SerialPort, SettersWhileOpenKeepThePortAndBuffer)
{
    port.SetComPort(pnCOM3);
    ASSERT_TRUE(port.OpenComPort());
    port.SetComPort(pnCOM1);
    port.SetComPortDevice("/dev/null");
    port.SetComPortInBufSize(4);
    EXPECT_EQ(port.ComPort(), pnCOM3);
    EXPECT_EQ(port.ComPortDevice(), pty.slavePath());
    EXPECT_EQ(port.ComPortInBufSize(), 2048);

    port.SetComPortPollingDelay(20);
    EXPECT_EQ(timer.period().count(), 20);
    EXPECT_EQ(timer.starts(), 2);
    port.SetComPortPollingDelay(20);
    EXPECT_EQ(timer.starts(), 2) << "an unchanged period restarts nothing";

    port.CloseComPort();
    port.SetComPort(pnCOM1);
    EXPECT_EQ(port.ComPort(), pnCOM1);
    EXPECT_EQ(port.ComPortName(), "COM1");
}

TEST_F(SerialPort, ClosingStopsThePollAndReopeningWorks)
{
    ASSERT_TRUE(port.OpenComPort());
    port.CloseComPort();
    EXPECT_FALSE(port.ComPortOpen());
    EXPECT_FALSE(timer.running());
    port.CloseComPort();  // closed already: nothing happens

    ASSERT_TRUE(port.OpenComPort());
    pty.write({1, 2, 3});
    pollUntil(3);
    EXPECT_EQ(got.joined(), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(SerialPort, AMissingDeviceFailsAndLeavesThePortClosed)
{
    port.SetComPortDevice("/dev/valdrin-no-such-port");
    EXPECT_FALSE(port.OpenComPort());
    EXPECT_FALSE(port.ComPortOpen());
    EXPECT_EQ(port.LastOpenError(), "No such file or directory");
    EXPECT_FALSE(timer.running());
}

TEST_F(SerialPort, AMasterPulledAwayLeavesThePollRunningQuietly)
{
    ASSERT_TRUE(port.OpenComPort());
    pty.write({0x31, 0x32, 0x33});
    pollUntil(3);
    pty.closeMaster();
    const std::size_t before = got.blocks.size();
    for (int i = 0; i < 200; ++i)
        timer.fire();
    EXPECT_EQ(got.blocks.size(), before);
    EXPECT_TRUE(port.ComPortOpen());
    EXPECT_TRUE(timer.running());
    port.CloseComPort();
    EXPECT_FALSE(port.ComPortOpen());
}

// The road of a serial frame: meter bytes through the terminal and the driver into
// the Zentor assembler and decoder.
class ReadingCollector final : public FrameObserver {
public:
    void frameDecoded(const FcommCore& core, const FrameReport&) override
    {
        readings.push_back(core.S.ReadingValue + " " + core.S.ReadingUnit + " " + core.S.ReadingMode + " "
                           + core.S.ReadingRange);
    }
    std::vector<std::string> readings;
};

TEST_F(SerialPort, ZentorFramesDecodeWhateverTheBlocks)
{
    test::CoreFixture f;
    FcommCore& core = f.core;
    ReadingCollector collector;
    core.observer = &collector;
    port.SetOnReceiveData([&](TSerialPortDriver&, const uint8_t* data, int32_t size) {
        got.blocks.emplace_back(data, data + size);
        core.guarded([&] { core.OnReceiveData(data, size); });
    });
    ASSERT_TRUE(port.OpenComPort());

    const char* frames[] = {"123451121", "123451125", "004703400", "A30003400"};
    std::vector<uint8_t> stream{0x0A};  // the line feed that ended the meter's previous frame
    for (const char* nibbles : frames) {
        const Bytes bytes = encodeLineFrame(nibbles);
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    std::mt19937 random(11);
    std::size_t at = 0;
    while (at < stream.size()) {
        const std::size_t n = std::min<std::size_t>(1 + random() % 7, stream.size() - at);
        pty.write({stream.begin() + static_cast<long>(at), stream.begin() + static_cast<long>(at + n)});
        at += n;
        if (random() % 2 == 0)
            timer.fire();
    }
    pollUntil(stream.size());
    const std::vector<std::string> expected = {"1.2345 V DC AUTO", "-1.2345 V DC AUTO", "00.470 k*  ",
                                               ".0L k*  "};
    EXPECT_EQ(collector.readings, expected);
    EXPECT_TRUE(f.messages.errors.empty());
}

} // namespace
} // namespace valdrin
