// The built-in demonstration: what a meter shows while someone measures a few
// things, in readings every family can display.
#pragma once

#include <string>
#include <vector>

namespace valdrin::sim {

// A voltage sweep, a range change, resistance, frequency, an overload and
// negative values, in this order.
std::vector<std::string> demoSequence();

} // namespace valdrin::sim
