#include "link/SerialPortNames.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace valdrin {

namespace {
constexpr std::string_view kFamilies[] = {"ttyUSB", "ttyACM", "ttyS"};

// Family rank and number of a device name, or false when it is not a serial port.
bool classify(const std::string& name, int& rank, long& number)
{
    for (int r = 0; r < 3; ++r) {
        const std::string_view prefix = kFamilies[r];
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })
            || digits.size() > 6)
            return false;
        rank = r;
        number = std::stol(digits);
        return true;
    }
    return false;
}
// A ttyS node exists for every possible on-board port; the kernel reports UART
// type 0 (unknown) for those without hardware.
bool uartPresent(const std::string& name)
{
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = 0;
    return type >> value && value != 0;
}
} // namespace

std::vector<std::string> orderSerialDevices(const std::vector<std::string>& names)
{
    struct Entry {
        int rank;
        long number;
        std::string name;
    };
    std::vector<Entry> entries;
    for (const auto& name : names) {
        int rank = 0;
        long number = 0;
        if (classify(name, rank, number))
            entries.push_back({rank, number, name});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.number < b.number;
    });
    std::vector<std::string> out;
    for (auto& e : entries)
        out.push_back(std::move(e.name));
    return out;
}

std::vector<std::string> presentSerialDevices()
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ttyS", 0) == 0 && !uartPresent(name))
            continue;
        names.push_back(name);
    }
    std::vector<std::string> paths;
    for (auto& name : orderSerialDevices(names))
        paths.push_back("/dev/" + name);
    return paths;
}

std::string comPortDevice(int number, const std::function<const char*(const char*)>& lookupEnv,
                          const std::vector<std::string>& present)
{
    if (number < 1 || number > 4)
        return {};
    const std::string variable = "VALDRIN_COM" + std::to_string(number);
    if (lookupEnv) {
        const char* value = lookupEnv(variable.c_str());
        if (value && *value)
            return value;
    }
    if (static_cast<std::size_t>(number) <= present.size())
        return present[static_cast<std::size_t>(number) - 1];
    return {};
}

std::string comPortDevice(int number)
{
    return comPortDevice(number, [](const char* name) { return std::getenv(name); }, presentSerialDevices());
}

} // namespace valdrin
