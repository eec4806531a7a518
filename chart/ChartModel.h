// The trend chart Chtshow without widgets: its two series, which one is shown,
// clearing, the page model with the page buttons and the follow rule, and the
// enlarge/restore command. The chart view draws the visible page of the shown
// series and mirrors controls() into its widgets.
//
// Series index 0 is Series2 (area), index 1 is Series1 (line). Both receive every
// reading; the points are stored once (SeriesStore, which also carries the bound
// on how many readings are kept).
#pragma once

#include "chart/ChartPages.h"
#include "chart/SeriesStore.h"

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace valdrin {

// Every reading point carries this label and colour (0x00BBGGRR: blue).
inline constexpr std::string_view PointLabel = "paper";
inline constexpr uint32_t PointColour = 0xFF0000;

// How a series is drawn; colours 0x00BBGGRR.
struct SeriesStyle {
    std::string_view name;
    bool area;
    uint32_t colour;
    uint32_t pen; // area lines and line pen
};
inline constexpr std::array<SeriesStyle, 2> SeriesStyles{{
    {"Series2", true, 8454143, 16744448},
    {"Series1", false, 0x0000FF, 65408},
}};

// Place of the chart in the window, pixels.
struct ChartBounds {
    int32_t left, top, width, height;
    friend bool operator==(const ChartBounds&, const ChartBounds&) = default;
};

// Plain state of the chart's controls that the logic writes.
struct ChartControls {
    bool BtFirstEnabled = true;
    bool BTPreviousEnabled = true;
    bool BtNextEnabled = true;
    bool BTlastEnabled = true;
    std::string Bt10Caption = "1";
    bool BtFillChecked = true;
    bool FillChecked = true; // the hidden menu item "Fill"
    int ComboBox1ItemIndex = 0;
    bool TbFdVisible = true;
    bool TbSxVisible = false;
    ChartBounds Bounds{336, 172, 371, 309};
};

class ChartModel {
public:
    static constexpr int AreaSeries = 0; // Series2
    static constexpr int LineSeries = 1; // Series1
    static constexpr int32_t StartPointsPerPage = 100;
    static constexpr uint32_t DefaultSeed = 20000;

    explicit ChartModel(size_t maxPoints = SeriesStore::DefaultMaxPoints, uint32_t seed = DefaultSeed);

    // Start-up preparation: a sample point in every series, ComboBox1 at item 0,
    // series 0 shown, then the series BtFill selects.
    void prepare();

    // --- series ---
    // Hides every series, then shows series `index` (0 or 1; anything else throws
    // ChartError and changes nothing). Both series are shown until the first call.
    void ShowSeries(int index);
    bool seriesVisible(int index) const;
    // A reading point: X value = the series' point count before the add.
    void addPoint(int series, int32_t value);
    // Demonstration fill with a count of 1: the series keeps one point with a
    // random value near the middle of the left axis.
    void fillSample(int series);
    size_t pointCount(int series) const;
    int32_t pointValue(int series, size_t index) const;
    int64_t pointX(int series, size_t index) const;
    const SeriesStore& points() const { return store_; }
    // Smallest and largest value among points first .. first + count - 1 of a
    // series (count > 0), at a cost that does not grow with count.
    ValueSpan valueSpan(int series, size_t first, size_t count) const;

    // Advanced by every change of the points, the shown series, the page, the axis
    // or the controls, so that a view redraws only when something changed.
    uint64_t revision() const { return revision_; }

    // --- pages ---
    int32_t pointsPerPage() const { return pointsPerPage_; }
    // 0 turns paging off; negative throws ChartError and keeps the value. When the
    // current page lies beyond the new number of pages, moves to the last page.
    void setPointsPerPage(int32_t points);
    int32_t pageCount() const; // over the shown series
    int32_t page() const { return page_; }
    void setPage(int64_t page); // clamped to 1 .. pageCount()
    PageRange visibleRange(int series) const;

    // --- left axis (fixed range) ---
    int32_t leftAxisMinimum() const { return axisMinimum_; }
    int32_t leftAxisMaximum() const { return axisMaximum_; }
    void setLeftAxis(int32_t minimum, int32_t maximum); // minimum > maximum throws ChartError

    // --- controls ---
    const ChartControls& controls() const { return controls_; }
    const ChartBounds& ChartNormalBounds() const { return normalBounds_; }
    // The user toggled the check box; its click handler btFillClick follows.
    void setBtFillChecked(bool checked)
    {
        controls_.BtFillChecked = checked;
        ++revision_;
    }

    // While set, followLastPage() moves to the newest page after every reading.
    bool FollowLastPage = true;

    // --- handlers ---
    void BtFirstClick();
    void BTPreviousClick();
    void BtNextClick();
    void BTlastClick();
    // Points per page := the integer value of the text; a failed conversion
    // (ConvertError) or a negative value (ChartError) keeps the previous value.
    void MaxrecordExit(std::string_view text);
    void btFillClick();
    void FillClick();
    void ComboBox1Change(int index);
    void BtNewClick();
    void TbFdClick(int windowOuterWidth, int windowOuterHeight);
    // The follow rule after a reading reached the line series.
    void followLastPage();

private:
    void clearSeries();
    void showPage();
    void enablePageButtons(bool firstAndPrevious, bool nextAndLast);
    static size_t seriesIndex(int series);

    SeriesStore store_;
    std::minstd_rand random_;
    std::array<bool, 2> visible_{true, true};
    int32_t pointsPerPage_ = StartPointsPerPage;
    int32_t page_ = 1;
    int32_t axisMinimum_ = -41000;
    int32_t axisMaximum_ = 41000;
    ChartControls controls_;
    ChartBounds normalBounds_{0, 0, 0, 0};
    uint64_t revision_ = 0;
};

} // namespace valdrin
