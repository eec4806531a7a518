#include "LogOptions.h"

#include <algorithm>

#include "base/IntegerValue.h"

namespace valdrin {

namespace {
bool allDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// HH:MM:SS as typed into the three time edits (digits only, as their key filter allows).
bool validRecall(const std::string& text)
{
    const auto first = text.find(':');
    const auto second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos)
        return false;
    return allDigits(text.substr(0, first)) && allDigits(text.substr(first + 1, second - first - 1)) &&
           allDigits(text.substr(second + 1));
}
} // namespace

const char* logUsage()
{
    return "usage: valdrin-log [options] [INPUT]\n"
           "Decodes a meter's frames as the window does and records them into the reading table.\n"
           "INPUT: raw serial bytes as the meter sends them (default: standard input); with --usb,\n"
           "HID input reports, one a line, as hex byte pairs, the report ID first.\n"
           "  --family zentor|teskar|brevast   frame family (default zentor)\n"
           "  --usb                INPUT holds USB reports (zentor or teskar)\n"
           "  --decimal SEP        decimal separator of value texts (default: the locale's)\n"
           "  --json               one JSON object per decoded frame on standard output\n"
           "  --no-repeat          record only readings that differ from the one before\n"
           "  --limit N            row limit of the table\n"
           "  --upper N            upper limit N, checked\n"
           "  --lower N            lower limit N, checked\n"
           "  --recall HH:MM:SS    stamp recorded readings from this start time ...\n"
           "  --interval N         ... N seconds apart (with --recall)\n"
           "  --switch NAME        check a variant switch: IFMorvane, IFBrevast or IFDornel\n"
           "  --load FILE          load a table file before INPUT (text adds rows, XML replaces them)\n"
           "  --output FILE        save the table at the end (.xml: XML data packet, else text)\n"
           "  --port DEVICE        read a live serial device (2400 8N1) until interrupted\n"
           "  --hid PATH           read a live USB cable (/dev/hidraw*) until interrupted\n"
           "  --help               print this text and exit\n"
           "Without --json one line goes to standard error at the end: \"N frames, M rows, E errors\".\n"
           "Exit status: 0 at the end of input or on SIGINT/SIGTERM; 2 with a one-line message on\n"
           "bad arguments, an input or device that cannot be opened, or a failed load or save.\n";
}

std::optional<LogOptions> parseLogOptions(const std::vector<std::string>& args, std::string& error)
{
    LogOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--family") {
            if (!value(v))
                return std::nullopt;
            if (v != "zentor" && v != "teskar" && v != "brevast") {
                error = "unknown family '" + v + "' (zentor, teskar or brevast)";
                return std::nullopt;
            }
            o.family = v;
        } else if (a == "--usb") {
            o.usb = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--no-repeat") {
            o.noRepeat = true;
        } else if (a == "--decimal") {
            if (!value(v))
                return std::nullopt;
            o.decimal = v;
        } else if (a == "--limit") {
            int32_t n = 0;
            if (!value(v))
                return std::nullopt;
            if (!tryIntegerValue(v, n) || n < 0) {
                error = "--limit needs a row count, not '" + v + "'";
                return std::nullopt;
            }
            o.limit = n;
        } else if (a == "--upper" || a == "--lower") {
            int32_t n = 0;
            if (!value(v))
                return std::nullopt;
            if (!tryIntegerValue(v, n)) {
                error = a + " needs a whole number of display counts, not '" + v + "'";
                return std::nullopt;
            }
            (a == "--upper" ? o.upper : o.lower) = v;
        } else if (a == "--recall") {
            if (!value(v))
                return std::nullopt;
            if (!validRecall(v)) {
                error = "--recall needs a start time HH:MM:SS, not '" + v + "'";
                return std::nullopt;
            }
            o.recall = v;
        } else if (a == "--interval") {
            if (!value(v))
                return std::nullopt;
            if (!allDigits(v)) {
                error = "--interval needs whole seconds, not '" + v + "'";
                return std::nullopt;
            }
            o.interval = v;
        } else if (a == "--switch") {
            if (!value(v))
                return std::nullopt;
            if (v != "IFMorvane" && v != "IFBrevast" && v != "IFDornel") {
                error = "unknown switch '" + v + "' (IFMorvane, IFBrevast or IFDornel)";
                return std::nullopt;
            }
            o.switches.push_back(v);
        } else if (a == "--load" || a == "--output" || a == "--port" || a == "--hid") {
            if (!value(v))
                return std::nullopt;
            (a == "--load" ? o.load : a == "--output" ? o.output : a == "--port" ? o.port : o.hid) = v;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            error = "unknown option " + a + " (see valdrin-log --help)";
            return std::nullopt;
        } else {
            if (o.input) {
                error = "only one input file may be given";
                return std::nullopt;
            }
            o.input = a;
        }
    }
    if (o.usb && o.family == "brevast") {
        error = "--usb reads zentor or teskar reports, not brevast";
        return std::nullopt;
    }
    if (o.port && o.hid) {
        error = "--port and --hid cannot be used together";
        return std::nullopt;
    }
    return o;
}

} // namespace valdrin
