// The benchmarks' timer: the median of `runs` timings of one step, in microseconds,
// after five untimed runs that warm the caches and the fonts.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace valdrin::bench {

inline double medianMicros(int runs, const std::function<void()>& step)
{
    constexpr int kWarmRuns = 5;
    std::vector<double> times;
    for (int i = 0; i < runs + kWarmRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step();
        const auto end = std::chrono::steady_clock::now();
        if (i >= kWarmRuns)
            times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2), times.end());
    return times[times.size() / 2];
}

} // namespace valdrin::bench
