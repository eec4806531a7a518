#include "chart/ChartPages.h"

#include <algorithm>

namespace valdrin {

int32_t pageCount(size_t largestShownCount, int32_t pointsPerPage, bool anySeriesShown)
{
    if (pointsPerPage <= 0 || !anySeriesShown)
        return 1;
    const size_t perPage = static_cast<size_t>(pointsPerPage);
    const size_t pages = (largestShownCount + perPage - 1) / perPage;
    return static_cast<int32_t>(std::clamp<size_t>(pages, 1, INT32_MAX));
}

int32_t clampPage(int64_t page, int32_t pages)
{
    return static_cast<int32_t>(std::clamp<int64_t>(page, 1, std::max(pages, 1)));
}

PageRange pageRange(int32_t page, int32_t pointsPerPage, size_t pointCount)
{
    if (pointsPerPage <= 0)
        return {0, pointCount};
    const size_t perPage = static_cast<size_t>(pointsPerPage);
    const size_t first = static_cast<size_t>(std::max(page, 1) - 1) * perPage;
    if (first >= pointCount)
        return {first, 0};
    return {first, std::min(perPage, pointCount - first)};
}

} // namespace valdrin
