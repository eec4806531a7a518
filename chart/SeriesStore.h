// The points of the chart's two series, stored once.
//
// Each series is its own sample point (left by a demonstration fill) followed by
// readings that both series receive alike, so the readings live in one shared
// list and each series records where its part of that list begins and how much of
// it it has received. A series may run behind the other (the line series gets each
// reading before the area series does); the points it receives later must be the
// same values, else addPoint throws std::logic_error.
//
// Bound: the shared list holds at most maxPoints readings (4,000,000 by default,
// more than two days at 20 readings a second). A reading that finds it full first
// drops the older half in one block: the series lose their oldest points and the
// sample point before them. Points keep the X value they were added with.
#pragma once

#include "chart/MinMaxIndex.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace valdrin {

class SeriesStore {
public:
    static constexpr size_t SeriesCount = 2;
    static constexpr size_t DefaultMaxPoints = 4'000'000;

    explicit SeriesStore(size_t maxPoints = DefaultMaxPoints); // at least 2

    // Appends a point; its X value is the series' point count so far (plus what
    // the bound has dropped from its front).
    void addPoint(size_t series, int32_t value);
    // Empties the series and leaves the one point `value` in it, with X value 0.
    void fillSample(size_t series, int32_t value);

    size_t pointCount(size_t series) const;
    int32_t value(size_t series, size_t index) const;  // index < pointCount
    int64_t xValue(size_t series, size_t index) const; // index < pointCount
    // Smallest and largest value of points first .. first + count - 1 of a series
    // (count > 0, within pointCount), in time that does not grow with count.
    ValueSpan valueSpan(size_t series, size_t first, size_t count) const;
    size_t maxPoints() const { return maxPoints_; }

private:
    struct Series {
        bool hasSample = false;
        int32_t sample = 0;
        uint64_t start = 0;   // position in the reading stream of its first reading
        size_t received = 0;  // readings received from `start` on
        int64_t firstX = 0;   // X value of its first point
    };

    void dropOldestHalf();
    void compact(); // forgets readings that no series holds or awaits

    size_t maxPoints_;
    std::vector<int32_t> readings_;
    MinMaxIndex spans_; // over readings_
    uint64_t firstPosition_ = 0; // stream position of readings_[0]
    std::array<Series, SeriesCount> series_{};
};

} // namespace valdrin
