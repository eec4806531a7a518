// The built-in demonstration: what a meter shows while someone measures a few
// things, in readings every family can display.
#pragma once

#include <string>
#include <vector>

namespace valdrin::sim {

// A voltage sweep, a range change, resistance, frequency, an overload and
// negative values, in this order. With fiveDigits every value carries one more
// digit, as a 40000-count display shows it (the Zentor family's meters).
std::vector<std::string> demoSequence(bool fiveDigits = false);

} // namespace valdrin::sim
