// The chart's page arithmetic: pages of a fixed number of points, numbered from 1.
#pragma once

#include <cstddef>
#include <cstdint>

namespace valdrin {

// Points of one series that a page shows: indexes first .. first + count - 1.
struct PageRange {
    size_t first, count;
    friend bool operator==(const PageRange&, const PageRange&) = default;
};

// Number of pages for the largest point count among the shown series: 1 when the
// points per page are 0 (paging off) or no series is shown, else the count
// divided by the points per page rounded up, and at least 1.
int32_t pageCount(size_t largestShownCount, int32_t pointsPerPage, bool anySeriesShown);

// A requested page brought into 1 .. pages.
int32_t clampPage(int64_t page, int32_t pages);

// The points a page shows of a series holding pointCount points; paging off shows all.
PageRange pageRange(int32_t page, int32_t pointsPerPage, size_t pointCount);

} // namespace valdrin
