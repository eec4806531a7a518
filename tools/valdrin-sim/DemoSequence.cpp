#include "tools/valdrin-sim/DemoSequence.h"

#include <cstdio>

namespace valdrin::sim {

std::vector<std::string> demoSequence()
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
    return readings;
}

} // namespace valdrin::sim
