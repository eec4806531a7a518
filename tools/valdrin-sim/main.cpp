// valdrin-sim: a meter on a wire. Writes frames of one family at the meter's pace
// to a pseudo-terminal it creates, to a serial device or to a file, or writes USB
// report lines for valdrin-log --usb.
#include "tools/valdrin-sim/DemoSequence.h"
#include "tools/valdrin-sim/ReadingFrames.h"
#include "tools/valdrin-sim/SimOutput.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace valdrin;
using namespace valdrin::sim;

const char kUsage[] =
    "usage: valdrin-sim [options] [READING...]\n"
    "  --family zentor|teskar|brevast   frame family (default zentor)\n"
    "  --pty                create a pseudo-terminal, print its path as the first line\n"
    "  --device PATH        write to a serial device (2400 8N1)\n"
    "  --output FILE        write to a file, - for standard output (the default)\n"
    "  --usb                write USB report lines (hex pairs, report ID first) instead of bytes\n"
    "  --rate HZ            frames per second (default 20)\n"
    "  --fast               as fast as the receiver takes them\n"
    "  --repeat N           send each reading N times (default 1)\n"
    "  --loop               repeat the sequence until interrupted\n"
    "  --wait               with --pty: start when the pseudo-terminal is opened\n"
    "  --hold               with --pty: keep it open after the last frame until interrupted\n"
    "  --help               print this text and exit\n"
    "READING: VALUE UNIT [DC|AC|AC+DC] [AUTO|MANU] as one argument, e.g. \"1.2345 V DC AUTO\";\n"
    "without readings the demonstration sequence is played.\n"
    "Exit status: 0 when the frames were written or the receiver went away (or on\n"
    "SIGINT/SIGTERM); 2 on bad arguments, a bad reading or an output that cannot be opened.\n";

volatile std::sig_atomic_t stopRequested = 0;
extern "C" void onSignal(int)
{
    stopRequested = 1;
}

struct Options {
    Family family = Family::Zentor;
    enum class Target { File, Pty, Device } target = Target::File;
    std::string path = "-";
    bool usb = false;
    double rate = 20;
    bool fast = false;
    int repeat = 1;
    bool loop = false;
    bool wait = false;
    bool hold = false;
    std::vector<std::string> readings;
};

int fail(const std::string& message)
{
    std::fprintf(stderr, "valdrin-sim: %s\n", message.c_str());
    return 2;
}

bool parseOptions(int argc, char** argv, Options& o, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto next = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--family") {
            if (!next(v))
                return false;
            if (v == "zentor")
                o.family = Family::Zentor;
            else if (v == "teskar")
                o.family = Family::Teskar;
            else if (v == "brevast")
                o.family = Family::Brevast;
            else {
                error = "unknown family " + v;
                return false;
            }
        } else if (a == "--pty") {
            o.target = Options::Target::Pty;
        } else if (a == "--device") {
            if (!next(o.path))
                return false;
            o.target = Options::Target::Device;
        } else if (a == "--output") {
            if (!next(o.path))
                return false;
            o.target = Options::Target::File;
        } else if (a == "--usb") {
            o.usb = true;
        } else if (a == "--rate") {
            if (!next(v))
                return false;
            o.rate = std::atof(v.c_str());
            if (!(o.rate > 0)) {
                error = "--rate needs a positive number";
                return false;
            }
        } else if (a == "--fast") {
            o.fast = true;
        } else if (a == "--repeat") {
            if (!next(v))
                return false;
            o.repeat = std::atoi(v.c_str());
            if (o.repeat < 1) {
                error = "--repeat needs a positive number";
                return false;
            }
        } else if (a == "--loop") {
            o.loop = true;
        } else if (a == "--wait") {
            o.wait = true;
        } else if (a == "--hold") {
            o.hold = true;
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (!a.empty() && a[0] == '-' && a.size() > 1 && !(a[1] >= '0' && a[1] <= '9') && a != "-OL") {
            error = "unknown option " + a;
            return false;
        } else {
            o.readings.push_back(a);
        }
    }
    if (o.usb && o.target != Options::Target::File) {
        error = "--usb writes report lines to a file or standard output";
        return false;
    }
    if (o.usb && o.family == Family::Brevast) {
        error = "the USB cable carries Zentor and Teskar frames only";
        return false;
    }
    return true;
}

std::vector<uint8_t> usbLines(const Bytes& frame)
{
    std::string text;
    char pair[4];
    for (const UsbReport& report : encodeUsbFrame(frame)) {
        std::snprintf(pair, sizeof pair, "%02X", report.reportId);
        text += pair;
        for (uint8_t b : report.data) {
            std::snprintf(pair, sizeof pair, " %02X", b);
            text += pair;
        }
        text += '\n';
    }
    return {text.begin(), text.end()};
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    std::string error;
    if (!parseOptions(argc, argv, o, error))
        return fail(error + " (see valdrin-sim --help)");
    if (o.readings.empty())
        o.readings = demoSequence(o.family == Family::Zentor);

    // Every frame is built before the first is sent: a bad reading fails at once.
    std::vector<std::vector<uint8_t>> frames;
    try {
        for (const std::string& reading : o.readings) {
            const Bytes frame = readingFrame(o.family, reading);
            frames.push_back(o.usb ? usbLines(frame) : frame);
        }
    } catch (const ReadingError& e) {
        return fail(e.what());
    }

    struct sigaction action {};
    action.sa_handler = onSignal;  // no SA_RESTART: a blocked write returns
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    ByteSink sink;
    bool opened = false;
    switch (o.target) {
    case Options::Target::Pty: opened = sink.openPty(error); break;
    case Options::Target::Device: opened = sink.openDevice(o.path, error); break;
    case Options::Target::File: opened = sink.openFile(o.path, error); break;
    }
    if (!opened)
        return fail("Could not open " + (o.target == Options::Target::Pty ? std::string("a pseudo-terminal") : o.path)
                    + ": " + error);
    if (o.target == Options::Target::Pty) {
        // Watch before the path is out: a receiver may open it at once.
        if (o.wait)
            sink.watchForOpen();
        std::printf("%s\n", sink.slavePath().c_str());
        std::fflush(stdout);
        if (o.wait && !sink.waitForOpen())
            return 0;
    }

    // A line-framed meter was talking before we came: its last line feed opens
    // the first frame, so that frame is accepted like every later one.
    if (!o.usb && o.family != Family::Teskar && !sink.write({0x0A}))
        return 0;

    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / o.rate));
    auto due = Clock::now();
    do {
        for (const auto& frame : frames) {
            for (int r = 0; r < o.repeat && !stopRequested; ++r) {
                if (!o.fast) {
                    std::this_thread::sleep_until(due);
                    due += period;
                }
                if (stopRequested || !sink.write(frame))
                    return 0;
            }
        }
    } while (o.loop && !stopRequested);

    if (o.target == Options::Target::Pty) {
        if (o.hold) {
            while (!stopRequested)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } else {
            // Give the receiver time to take the last frames before the line hangs up.
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    }
    return 0;
}
