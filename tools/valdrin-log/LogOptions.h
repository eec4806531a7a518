// The companion's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace valdrin {

struct LogOptions {
    std::string family = "zentor";  // zentor, teskar or brevast
    bool usb = false;
    std::optional<std::string> decimal;
    bool json = false;
    bool noRepeat = false;
    std::optional<int> limit;
    std::optional<std::string> upper, lower;
    std::optional<std::string> recall;  // HH:MM:SS
    std::optional<std::string> interval;
    std::vector<std::string> switches;
    std::optional<std::string> load, output, port, hid;
    std::optional<std::string> input;  // default: standard input
    bool help = false;
};

// The text of --help: usage, one line an option, exit status.
const char* logUsage();

// Parses argv; on a bad argument returns nothing and sets error to a one-line message.
std::optional<LogOptions> parseLogOptions(const std::vector<std::string>& args, std::string& error);

} // namespace valdrin
