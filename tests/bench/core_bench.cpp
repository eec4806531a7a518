// Decoding and recording Zentor serial frames through the whole post-decode block,
// and the memory of ten million recorded rows (the "limitless" row limit).
// Run: cmake --build build-release --target core_bench && build-release/tests/bench/core_bench [frames]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "base/SystemClock.h"
#include "meter/FcommCore.h"
#include "meter/FrameEncoding.h"
#include "tests/support/RecordingEdges.h"

using namespace valdrin;

namespace {
long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// A bench meter on 40 V DC: the digits wander within one trace, as a live reading does.
Bytes capture(std::size_t frames)
{
    Bytes bytes{0x0A};
    bytes.reserve(frames * 11 + 1);
    char nibbles[10] = "000001121";
    for (std::size_t i = 0; i < frames; ++i) {
        const unsigned v = static_cast<unsigned>((i * 7919u) % 40000u);
        nibbles[0] = static_cast<char>('0' + v / 10000 % 10);
        nibbles[1] = static_cast<char>('0' + v / 1000 % 10);
        nibbles[2] = static_cast<char>('0' + v / 100 % 10);
        nibbles[3] = static_cast<char>('0' + v / 10 % 10);
        nibbles[4] = static_cast<char>('0' + v % 10);
        const Bytes frame = encodeLineFrame(nibbles);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}
} // namespace

int main(int argc, char** argv)
{
    const std::size_t frames = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000000;
    const Bytes stream = capture(frames);

    // The test edges; the stream is clean, so they record nothing. The clock is the
    // system's: its time stamps are what a live reading records.
    test::RecordingMessages messages;
    test::CountingBeeper beeper;
    SystemClock clock;
    FcommCore core(messages, beeper, clock);
    core.limitessClick();
    const long before = residentKb();

    const auto start = std::chrono::steady_clock::now();
    for (std::size_t at = 0; at < stream.size(); at += 2048) {
        const std::size_t n = std::min<std::size_t>(2048, stream.size() - at);
        core.OnReceiveData(stream.data() + at, static_cast<int32_t>(n));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long after = residentKb();

    const double rate = static_cast<double>(core.framesDecoded) / seconds;
    const double bytesPerRow = static_cast<double>(after - before) * 1024.0 / static_cast<double>(core.cds1.size());
    std::printf("frames decoded      %llu (errors %llu)\n", static_cast<unsigned long long>(core.framesDecoded),
                static_cast<unsigned long long>(core.frameErrors));
    std::printf("rows recorded       %zu\n", core.cds1.size());
    std::printf("time                %.3f s\n", seconds);
    std::printf("decode and record   %.0f frames/s (bound: at least 1000000)\n", rate);
    std::printf("resident growth     %.1f bytes per row, chart points included (bound: at most 64)\n", bytesPerRow);
    std::printf("table alone         %.1f bytes per row\n",
                static_cast<double>(core.cds1.bytesReserved()) / static_cast<double>(core.cds1.size()));
    const bool ok = rate >= 1e6 && bytesPerRow <= 64.0;
    std::printf("%s\n", ok ? "within bounds" : "OUT OF BOUNDS");
    return ok ? 0 : 1;
}
