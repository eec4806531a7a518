#include "tools/valdrin-sim/DemoSequence.h"

#include <cstdio>

namespace valdrin::sim {

namespace {
// One more digit: a trailing one where the counts stay below 40000, else a leading
// zero (4.700 kOhm reads 04.700 on a 40000-count display, in its next range).
void addFifthDigit(std::string& reading)
{
    const std::size_t end = reading.find(' ');
    long counts = 0;
    for (std::size_t i = 0; i < end; ++i)
        if (reading[i] >= '0' && reading[i] <= '9')
            counts = counts * 10 + (reading[i] - '0');
    if (counts * 10 < 40000)
        reading.insert(end, "0");
    else
        reading.insert(reading[0] == '-' ? 1 : 0, "0");
}
} // namespace

std::vector<std::string> demoSequence(bool fiveDigits)
{
    std::vector<std::string> readings;
    char text[32];
    // Sweep 0.000 V to 3.900 V in the 4 V range.
    for (int millivolts = 0; millivolts <= 3900; millivolts += 300) {
        std::snprintf(text, sizeof text, "%d.%03d V DC AUTO", millivolts / 1000, millivolts % 1000);
        readings.emplace_back(text);
    }
    // Past 4 V the meter changes range: the point moves one digit right.
    readings.emplace_back("12.34 V DC AUTO");
    readings.emplace_back("24.56 V DC AUTO");
    readings.emplace_back("1.234 k* AUTO");
    readings.emplace_back("4.700 k* AUTO");
    readings.emplace_back("10.00 kHz AUTO");
    readings.emplace_back("12.50 kHz AUTO");
    readings.emplace_back("OL k* AUTO");
    readings.emplace_back("-1.234 V DC AUTO");
    readings.emplace_back("-0.567 V DC AUTO");
    if (fiveDigits)
        for (std::string& r : readings)
            if (r.rfind("OL", 0) != 0)
                addFifthDigit(r);
    return readings;
}

} // namespace valdrin::sim
