#include "chart/SeriesStore.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace valdrin {

SeriesStore::SeriesStore(size_t maxPoints) : maxPoints_(maxPoints)
{
    if (maxPoints < 2)
        throw std::invalid_argument("series bound must be at least 2 points");
}

void SeriesStore::addPoint(size_t series, int32_t value)
{
    Series& s = series_.at(series);
    const uint64_t position = s.start + s.received;
    const uint64_t end = firstPosition_ + readings_.size();
    if (position < end) {
        // The other series already has this reading: it must be the same one.
        if (readings_[static_cast<size_t>(position - firstPosition_)] != value)
            throw std::logic_error("chart series " + std::to_string(series) + " received " +
                                   std::to_string(value) + " where the other series holds " +
                                   std::to_string(readings_[static_cast<size_t>(position - firstPosition_)]));
        ++s.received;
        return;
    }
    if (readings_.size() >= maxPoints_)
        dropOldestHalf();
    readings_.push_back(value);
    spans_.push(value);
    ++s.received;
}

void SeriesStore::fillSample(size_t series, int32_t value)
{
    Series& s = series_.at(series);
    s = Series{true, value, firstPosition_ + readings_.size(), 0, 0};
    compact();
}

size_t SeriesStore::pointCount(size_t series) const
{
    const Series& s = series_.at(series);
    return (s.hasSample ? 1 : 0) + s.received;
}

int32_t SeriesStore::value(size_t series, size_t index) const
{
    const Series& s = series_.at(series);
    if (index >= pointCount(series))
        throw std::out_of_range("chart point " + std::to_string(index) + " beyond series " + std::to_string(series));
    if (s.hasSample) {
        if (index == 0)
            return s.sample;
        --index;
    }
    return readings_[static_cast<size_t>(s.start - firstPosition_) + index];
}

ValueSpan SeriesStore::valueSpan(size_t series, size_t first, size_t count) const
{
    const Series& s = series_.at(series);
    if (count == 0 || first > pointCount(series) || count > pointCount(series) - first)
        throw std::out_of_range("chart points " + std::to_string(first) + " + " + std::to_string(count) +
                                " beyond series " + std::to_string(series));
    ValueSpan span{s.sample, s.sample};
    const bool withSample = s.hasSample && first == 0;
    if (s.hasSample) {
        if (first == 0)
            --count;
        else
            --first;
    }
    if (count == 0)
        return span;
    const size_t base = static_cast<size_t>(s.start - firstPosition_) + first;
    const ValueSpan readings = spans_.span(readings_, base, base + count);
    if (!withSample)
        return readings;
    return {std::min(span.minimum, readings.minimum), std::max(span.maximum, readings.maximum)};
}

int64_t SeriesStore::xValue(size_t series, size_t index) const
{
    return series_.at(series).firstX + static_cast<int64_t>(index);
}

void SeriesStore::dropOldestHalf()
{
    const uint64_t newFirst = firstPosition_ + readings_.size() / 2;
    for (Series& s : series_) {
        if (s.start >= newFirst)
            continue;
        // The sample point lies before the series' readings, so it goes first.
        if (s.hasSample) {
            s.hasSample = false;
            ++s.firstX;
        }
        // A series still waiting for readings inside the dropped block resumes
        // at the first kept one.
        const uint64_t skipped = newFirst - s.start;
        s.received -= static_cast<size_t>(std::min<uint64_t>(s.received, skipped));
        s.firstX += static_cast<int64_t>(skipped);
        s.start = newFirst;
    }
    readings_.erase(readings_.begin(), readings_.begin() + static_cast<std::ptrdiff_t>(newFirst - firstPosition_));
    firstPosition_ = newFirst;
    spans_.rebuild(readings_);
}

void SeriesStore::compact()
{
    uint64_t needed = series_[0].start;
    for (const Series& s : series_)
        needed = std::min(needed, s.start);
    if (needed == firstPosition_)
        return;
    if (needed == firstPosition_ + readings_.size())
        readings_.clear();
    else
        readings_.erase(readings_.begin(), readings_.begin() + static_cast<std::ptrdiff_t>(needed - firstPosition_));
    firstPosition_ = needed;
    spans_.rebuild(readings_);
}

} // namespace valdrin
