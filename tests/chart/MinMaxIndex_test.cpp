// Min-max of a stretch of points, against a plain scan of the same stretch.
#include "chart/ChartModel.h"
#include "chart/MinMaxIndex.h"
#include "chart/SeriesStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <vector>

namespace valdrin {
namespace {

ValueSpan scan(const std::vector<int32_t>& values, size_t first, size_t last)
{
    const auto [lo, hi] = std::minmax_element(values.begin() + static_cast<std::ptrdiff_t>(first),
                                              values.begin() + static_cast<std::ptrdiff_t>(last));
    return {*lo, *hi};
}

TEST(MinMaxIndex, StretchesAcrossBlockBoundariesMatchAScan)
{
    constexpr size_t B = MinMaxIndex::Block, L = MinMaxIndex::LargeBlock;
    std::minstd_rand random(7);
    std::vector<int32_t> values;
    MinMaxIndex index;
    for (size_t i = 0; i < 3 * L + 5 * B + 17; ++i) {
        values.push_back(static_cast<int32_t>(random() % 200001) - 100000);
        index.push(values.back());
    }
    struct Stretch {
        size_t first, last;
    };
    const Stretch stretches[] = {
        {0, 1},         {5, 6},           {0, B},          {1, B - 1},       {B - 1, B + 1},     {3, 2 * B + 5},
        {0, L},         {B, L + B},       {L - 1, L + 1},  {17, 2 * L + 9},  {L, 3 * L},         {5, values.size()},
        {0, values.size()}, {3 * L, values.size()}, {values.size() - 1, values.size()},
    };
    for (const Stretch& s : stretches)
        EXPECT_EQ(index.span(values, s.first, s.last), scan(values, s.first, s.last)) << s.first << ".." << s.last;

    // Extremes placed inside large blocks, between blocks and in the partial tail.
    for (size_t at : {size_t{0}, B * 3 + 1, L + 7, 2 * L + B, values.size() - 1}) {
        std::vector<int32_t> v = values;
        v[at] = 2'000'000;
        MinMaxIndex rebuilt;
        rebuilt.rebuild(v);
        EXPECT_EQ(rebuilt.span(v, 0, v.size()).maximum, 2'000'000) << at;
        EXPECT_EQ(rebuilt.span(v, at, at + 1), (ValueSpan{2'000'000, 2'000'000}));
    }
}

TEST(SeriesStoreSpan, CoversTheSamplePointAndFollowsTheBound)
{
    SeriesStore store(10'000);
    store.fillSample(0, -50'000);
    store.fillSample(1, 50'000);
    std::vector<int32_t> readings;
    for (int32_t i = 0; i < 9'000; ++i) {
        const int32_t v = (i * 7919) % 20011 - 10000;
        readings.push_back(v);
        store.addPoint(1, v);
        store.addPoint(0, v);
    }
    const ValueSpan all = scan(readings, 0, readings.size());
    EXPECT_EQ(store.valueSpan(0, 0, 9'001), (ValueSpan{-50'000, all.maximum}));
    EXPECT_EQ(store.valueSpan(1, 0, 9'001), (ValueSpan{all.minimum, 50'000}));
    EXPECT_EQ(store.valueSpan(0, 0, 1), (ValueSpan{-50'000, -50'000}));
    EXPECT_EQ(store.valueSpan(1, 101, 3'000), scan(readings, 100, 3'100));

    // The bound drops the older half with the samples; spans follow the kept points.
    for (int32_t i = 0; i < 2'000; ++i) {
        readings.push_back(i);
        store.addPoint(1, i);
        store.addPoint(0, i);
    }
    const size_t kept = store.pointCount(0);
    ASSERT_LT(kept, readings.size());
    const size_t dropped = readings.size() - kept;
    EXPECT_EQ(store.valueSpan(0, 0, kept), scan(readings, dropped, readings.size()));
    EXPECT_EQ(store.valueSpan(1, 10, 700), scan(readings, dropped + 10, dropped + 710));

    EXPECT_THROW(store.valueSpan(0, 0, 0), std::out_of_range);
    EXPECT_THROW(store.valueSpan(0, kept - 1, 2), std::out_of_range);
    EXPECT_THROW(store.valueSpan(0, kept + 5, 1), std::out_of_range);
}

TEST(SeriesStoreSpan, ClearedSeriesSpanOnlyTheirNewPoints)
{
    ChartModel model;
    model.prepare();
    for (int32_t v : {30'000, -30'000, 5}) {
        model.addPoint(ChartModel::LineSeries, v);
        model.addPoint(ChartModel::AreaSeries, v);
    }
    model.BtNewClick();
    model.addPoint(ChartModel::LineSeries, 12);
    model.addPoint(ChartModel::AreaSeries, 12);
    const int32_t sample = model.pointValue(ChartModel::AreaSeries, 0);
    EXPECT_EQ(model.valueSpan(ChartModel::AreaSeries, 0, 2), (ValueSpan{std::min(sample, 12), std::max(sample, 12)}));
    EXPECT_EQ(model.valueSpan(ChartModel::LineSeries, 1, 1), (ValueSpan{12, 12}));
}

} // namespace
} // namespace valdrin
