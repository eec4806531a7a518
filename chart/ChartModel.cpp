#include "chart/ChartModel.h"

#include "chart/ChartError.h"
#include "base/IntegerValue.h"

#include <algorithm>
#include <charconv>

namespace valdrin {

ChartModel::ChartModel(size_t maxPoints, uint32_t seed) : store_(maxPoints), random_(seed) {}

size_t ChartModel::seriesIndex(int series)
{
    if (series < 0 || series >= static_cast<int>(SeriesStore::SeriesCount))
        throw ChartError("Chart series index out of range (" + std::to_string(series) + ")");
    return static_cast<size_t>(series);
}

void ChartModel::prepare()
{
    clearSeries();
}

void ChartModel::clearSeries()
{
    ++revision_;
    fillSample(AreaSeries);
    fillSample(LineSeries);
    controls_.ComboBox1ItemIndex = 0;
    ShowSeries(AreaSeries);
    ShowSeries(controls_.BtFillChecked ? AreaSeries : LineSeries);
}

void ChartModel::ShowSeries(int index)
{
    ++revision_;
    const size_t shown = seriesIndex(index);
    visible_.fill(false);
    visible_[shown] = true;
}

bool ChartModel::seriesVisible(int index) const
{
    return visible_[seriesIndex(index)];
}

void ChartModel::addPoint(int series, int32_t value)
{
    ++revision_;
    store_.addPoint(seriesIndex(series), value);
}

void ChartModel::fillSample(int series)
{
    ++revision_;
    const size_t index = seriesIndex(series);
    // Within an eighth of the axis span around its middle: on screen, near zero.
    const int64_t middle = (static_cast<int64_t>(axisMinimum_) + axisMaximum_) / 2;
    const int64_t spread = (static_cast<int64_t>(axisMaximum_) - axisMinimum_) / 8;
    const int64_t offset = static_cast<int64_t>(random_() % static_cast<uint64_t>(2 * spread + 1)) - spread;
    store_.fillSample(index, static_cast<int32_t>(middle + offset));
}

size_t ChartModel::pointCount(int series) const
{
    return store_.pointCount(seriesIndex(series));
}

int32_t ChartModel::pointValue(int series, size_t index) const
{
    return store_.value(seriesIndex(series), index);
}

int64_t ChartModel::pointX(int series, size_t index) const
{
    return store_.xValue(seriesIndex(series), index);
}

void ChartModel::setPointsPerPage(int32_t points)
{
    ++revision_;
    if (points < 0)
        throw ChartError("Points per page must not be negative (" + std::to_string(points) + ")");
    pointsPerPage_ = points;
    page_ = std::min(page_, pageCount());
}

int32_t ChartModel::pageCount() const
{
    size_t largest = 0;
    bool anyShown = false;
    for (size_t s = 0; s < visible_.size(); ++s) {
        if (visible_[s]) {
            anyShown = true;
            largest = std::max(largest, store_.pointCount(s));
        }
    }
    return valdrin::pageCount(largest, pointsPerPage_, anyShown);
}

void ChartModel::setPage(int64_t page)
{
    ++revision_;
    page_ = clampPage(page, pageCount());
}

ValueSpan ChartModel::valueSpan(int series, size_t first, size_t count) const
{
    return store_.valueSpan(seriesIndex(series), first, count);
}

PageRange ChartModel::visibleRange(int series) const
{
    return pageRange(page_, pointsPerPage_, pointCount(series));
}

void ChartModel::setLeftAxis(int32_t minimum, int32_t maximum)
{
    ++revision_;
    if (minimum > maximum)
        throw ChartError("Axis minimum " + std::to_string(minimum) + " above maximum " + std::to_string(maximum));
    axisMinimum_ = minimum;
    axisMaximum_ = maximum;
}

void ChartModel::showPage()
{
    ++revision_;
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, page_).ptr;
    controls_.Bt10Caption.assign(digits, end);
}

void ChartModel::enablePageButtons(bool firstAndPrevious, bool nextAndLast)
{
    ++revision_;
    controls_.BtFirstEnabled = controls_.BTPreviousEnabled = firstAndPrevious;
    controls_.BtNextEnabled = controls_.BTlastEnabled = nextAndLast;
}

void ChartModel::BtFirstClick()
{
    enablePageButtons(false, true);
    setPage(1);
    showPage();
    FollowLastPage = false;
}

void ChartModel::BTPreviousClick()
{
    if (page_ == 1) {
        enablePageButtons(false, true);
    } else {
        setPage(static_cast<int64_t>(page_) - 1);
        controls_.BtNextEnabled = controls_.BTlastEnabled = true;
    }
    showPage();
    FollowLastPage = false;
}

void ChartModel::BtNextClick()
{
    if (page_ == pageCount()) {
        enablePageButtons(true, false);
    } else {
        // Next and Last keep their state even when this reaches the last page.
        setPage(static_cast<int64_t>(page_) + 1);
        controls_.BtFirstEnabled = controls_.BTPreviousEnabled = true;
    }
    showPage();
    FollowLastPage = false;
}

void ChartModel::BTlastClick()
{
    enablePageButtons(true, false);
    setPage(pageCount());
    showPage();
    FollowLastPage = true;
}

void ChartModel::MaxrecordExit(std::string_view text)
{
    setPointsPerPage(IntegerValue(text));
}

void ChartModel::btFillClick()
{
    ++revision_;
    controls_.FillChecked = controls_.BtFillChecked;
    ShowSeries(controls_.BtFillChecked ? AreaSeries : LineSeries);
}

void ChartModel::FillClick()
{
    ++revision_;
    const bool fill = !controls_.BtFillChecked;
    controls_.FillChecked = controls_.BtFillChecked = fill;
    ShowSeries(fill ? AreaSeries : LineSeries);
}

void ChartModel::ComboBox1Change(int index)
{
    ++revision_;
    seriesIndex(index);
    controls_.ComboBox1ItemIndex = index;
    ShowSeries(index);
}

void ChartModel::BtNewClick()
{
    clearSeries();
}

void ChartModel::TbFdClick(int windowOuterWidth, int windowOuterHeight)
{
    ++revision_;
    ChartBounds& bounds = controls_.Bounds;
    if (bounds.top > 50) { // in its normal place: enlarge over the window
        controls_.TbFdVisible = false;
        controls_.TbSxVisible = true;
        normalBounds_ = bounds;
        bounds = {2, 28, windowOuterWidth - 12, windowOuterHeight - 85};
    } else {
        controls_.TbSxVisible = false;
        controls_.TbFdVisible = true;
        bounds = normalBounds_;
    }
}

void ChartModel::followLastPage()
{
    if (!FollowLastPage)
        return;
    setPage(pageCount());
    showPage();
}

} // namespace valdrin
