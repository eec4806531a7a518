// The shared point store of the two series: samples, lagging series, the bound.
#include "chart/SeriesStore.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace valdrin {
namespace {

std::vector<int32_t> valuesOf(const SeriesStore& store, size_t series)
{
    std::vector<int32_t> out;
    for (size_t i = 0; i < store.pointCount(series); ++i)
        out.push_back(store.value(series, i));
    return out;
}

// The order the readings arrive in: line series (1) first, then area series (0).
void addReading(SeriesStore& store, int32_t value)
{
    store.addPoint(1, value);
    store.addPoint(0, value);
}

TEST(SeriesStore, EachSeriesIsItsSampleThenTheCommonReadings)
{
    SeriesStore store;
    store.fillSample(0, -7);
    store.fillSample(1, 9);
    addReading(store, 100);
    store.addPoint(1, 200); // the line series runs one reading ahead
    EXPECT_EQ(valuesOf(store, 0), (std::vector<int32_t>{-7, 100}));
    EXPECT_EQ(valuesOf(store, 1), (std::vector<int32_t>{9, 100, 200}));
    store.addPoint(0, 200);
    EXPECT_EQ(valuesOf(store, 0), (std::vector<int32_t>{-7, 100, 200}));
    EXPECT_EQ(store.xValue(0, 2), 2);

    // Refilling one series leaves the other's points alone.
    store.fillSample(1, 5);
    addReading(store, 300);
    EXPECT_EQ(valuesOf(store, 0), (std::vector<int32_t>{-7, 100, 200, 300}));
    EXPECT_EQ(valuesOf(store, 1), (std::vector<int32_t>{5, 300}));
    EXPECT_EQ(store.xValue(1, 1), 1);
}

TEST(SeriesStore, ALaggingSeriesMustReceiveTheSameValues)
{
    SeriesStore store;
    store.fillSample(0, 0);
    store.fillSample(1, 0);
    store.addPoint(1, 42);
    EXPECT_THROW(store.addPoint(0, 43), std::logic_error);
    EXPECT_EQ(store.pointCount(0), 1u);
    EXPECT_THROW(store.value(0, 1), std::out_of_range);
    EXPECT_THROW(store.addPoint(2, 1), std::out_of_range);
}

TEST(SeriesStore, BoundDropsTheOlderHalfInOneBlock)
{
    constexpr size_t bound = 10;
    SeriesStore store(bound);
    store.fillSample(0, -1);
    store.fillSample(1, -2);
    for (int32_t v = 1; v <= 25; ++v) {
        addReading(store, v);
        for (size_t s : {0u, 1u}) {
            ASSERT_LE(store.pointCount(s), bound + 1) << "after " << v;
            // The newest point is always the last reading, with the X value it was added with.
            const size_t last = store.pointCount(s) - 1;
            ASSERT_EQ(store.value(s, last), v);
            ASSERT_EQ(store.xValue(s, last), v);
        }
    }
    // 25 readings in blocks: 10 stored, 5 dropped at the 11th, then 5 more at the 16th
    // and at the 21st: readings 16..25 are left, the samples went with the first block.
    EXPECT_EQ(valuesOf(store, 0), (std::vector<int32_t>{16, 17, 18, 19, 20, 21, 22, 23, 24, 25}));
    EXPECT_EQ(valuesOf(store, 1), valuesOf(store, 0));
    EXPECT_EQ(store.xValue(0, 0), 16);

    // A refill starts over at X 0 and frees everything.
    store.fillSample(0, 3);
    store.fillSample(1, 4);
    addReading(store, 77);
    EXPECT_EQ(valuesOf(store, 0), (std::vector<int32_t>{3, 77}));
    EXPECT_EQ(store.xValue(0, 1), 1);
}

TEST(SeriesStore, BoundWithOneSeriesFarBehind)
{
    SeriesStore store(4);
    store.fillSample(0, 0);
    store.fillSample(1, 0);
    for (int32_t v = 1; v <= 9; ++v)
        store.addPoint(1, v);
    // Series 0 waited for readings that were dropped; it resumes at the first kept one.
    EXPECT_LE(store.pointCount(1), 5u);
    EXPECT_EQ(store.pointCount(0), 0u);
    store.addPoint(0, store.value(1, 0));
    EXPECT_EQ(store.xValue(0, 0), store.xValue(1, 0));
}

TEST(SeriesStore, RejectsABoundTooSmallToHalve)
{
    EXPECT_THROW(SeriesStore(1), std::invalid_argument);
}

} // namespace
} // namespace valdrin
