#include "link/SerialPortNames.h"

#include <gtest/gtest.h>

#include <map>

namespace valdrin {
namespace {

TEST(SerialPortNames, UsbAdaptersComeFirstThenModemsThenOnBoardPortsEachByNumber)
{
    const std::vector<std::string> listed = {"ttyS10", "tty0", "ttyS2", "ttyACM0", "ttyUSB10",
                                             "ttyUSB2", "ttyprintk", "ttySx", "ttyS"};
    const std::vector<std::string> expected = {"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS2", "ttyS10"};
    EXPECT_EQ(orderSerialDevices(listed), expected);
}

TEST(SerialPortNames, EnvironmentWinsThenTheNthPresentDevice)
{
    const std::map<std::string, std::string> env = {{"VALDRIN_COM2", "/tmp/pty-meter"}, {"VALDRIN_COM3", ""}};
    const auto lookup = [&](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
    const std::vector<std::string> present = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"};
    const struct {
        int number;
        const char* device;
    } cases[] = {{1, "/dev/ttyUSB0"}, {2, "/tmp/pty-meter"}, {3, "/dev/ttyS0"}, {4, ""}, {0, ""}, {5, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(comPortDevice(c.number, lookup, present), c.device) << "COM" << c.number;
}

} // namespace
} // namespace valdrin
