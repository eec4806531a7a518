// The chart: series view, clearing, page buttons and the follow rule, enlarge/restore.
#include "chart/ChartModel.h"

#include "chart/ChartError.h"
#include "base/IntegerValue.h"

#include <gtest/gtest.h>

#include <string>

namespace valdrin {
namespace {

// A prepared chart, as after start-up.
ChartModel prepared()
{
    ChartModel chart;
    chart.prepare();
    return chart;
}

// What the post-decode block does with one reading.
void addReading(ChartModel& chart, int32_t value)
{
    chart.addPoint(ChartModel::LineSeries, value);
    chart.followLastPage();
    chart.addPoint(ChartModel::AreaSeries, value);
}

void addReadings(ChartModel& chart, int count)
{
    for (int i = 0; i < count; ++i)
        addReading(chart, i * 10);
}

struct Buttons {
    bool first, previous, next, last;
    friend bool operator==(const Buttons&, const Buttons&) = default;
};
Buttons buttonsOf(const ChartModel& chart)
{
    const auto& c = chart.controls();
    return {c.BtFirstEnabled, c.BTPreviousEnabled, c.BtNextEnabled, c.BTlastEnabled};
}

TEST(ChartStart, ControlsAndPagesAsBuilt)
{
    const ChartModel chart = prepared();
    const auto& c = chart.controls();
    EXPECT_EQ(buttonsOf(chart), (Buttons{true, true, true, true}));
    EXPECT_EQ(c.Bt10Caption, "1");
    EXPECT_TRUE(chart.FollowLastPage);
    EXPECT_TRUE(c.BtFillChecked && c.FillChecked);
    EXPECT_EQ(c.ComboBox1ItemIndex, 0);
    EXPECT_EQ(c.Bounds, (ChartBounds{336, 172, 371, 309}));
    EXPECT_TRUE(c.TbFdVisible);
    EXPECT_FALSE(c.TbSxVisible);
    EXPECT_EQ(chart.pointsPerPage(), 100);
    EXPECT_EQ(chart.page(), 1);
    EXPECT_EQ(chart.leftAxisMinimum(), -41000);
    EXPECT_EQ(chart.leftAxisMaximum(), 41000);
    EXPECT_TRUE(chart.seriesVisible(ChartModel::AreaSeries));
    EXPECT_FALSE(chart.seriesVisible(ChartModel::LineSeries));
    EXPECT_EQ(chart.pointCount(0), 1u);
    EXPECT_EQ(chart.pointCount(1), 1u);
}

TEST(ChartStart, PreparedWithFillUncheckedShowsTheLine)
{
    ChartModel chart;
    chart.setBtFillChecked(false);
    chart.prepare();
    EXPECT_FALSE(chart.seriesVisible(ChartModel::AreaSeries));
    EXPECT_TRUE(chart.seriesVisible(ChartModel::LineSeries));
}

TEST(ChartSeries, ViewChoiceShowsTheSamePointsEitherWay)
{
    ChartModel chart = prepared();
    addReadings(chart, 5);
    chart.setBtFillChecked(false);
    chart.btFillClick();
    EXPECT_FALSE(chart.controls().FillChecked);
    EXPECT_TRUE(chart.seriesVisible(ChartModel::LineSeries));
    EXPECT_FALSE(chart.seriesVisible(ChartModel::AreaSeries));
    ASSERT_EQ(chart.pointCount(0), chart.pointCount(1));
    for (size_t i = 1; i < chart.pointCount(0); ++i) {
        EXPECT_EQ(chart.pointValue(0, i), chart.pointValue(1, i));
        EXPECT_EQ(chart.pointX(1, i), static_cast<int64_t>(i));
    }

    // The menu item toggles both check marks and the view, twice back to the start.
    struct Step {
        bool checked;
        int shown;
    };
    for (const Step expected : {Step{true, 0}, Step{false, 1}, Step{true, 0}}) {
        chart.FillClick();
        EXPECT_EQ(chart.controls().BtFillChecked, expected.checked);
        EXPECT_EQ(chart.controls().FillChecked, expected.checked);
        EXPECT_TRUE(chart.seriesVisible(expected.shown));
        EXPECT_FALSE(chart.seriesVisible(1 - expected.shown));
    }

    chart.ComboBox1Change(1);
    EXPECT_EQ(chart.controls().ComboBox1ItemIndex, 1);
    EXPECT_TRUE(chart.seriesVisible(ChartModel::LineSeries));
    EXPECT_THROW(chart.ComboBox1Change(2), ChartError);
    EXPECT_EQ(chart.controls().ComboBox1ItemIndex, 1);
    EXPECT_TRUE(chart.seriesVisible(ChartModel::LineSeries));
}

TEST(ChartSeries, NewLeavesOnePointPerSeriesAndKeepsThePageState)
{
    ChartModel chart = prepared();
    addReadings(chart, 250);
    chart.BtFirstClick();
    chart.ComboBox1Change(1);
    chart.BtNewClick();
    EXPECT_EQ(chart.pointCount(0), 1u);
    EXPECT_EQ(chart.pointCount(1), 1u);
    EXPECT_EQ(chart.controls().ComboBox1ItemIndex, 0);
    EXPECT_TRUE(chart.seriesVisible(ChartModel::AreaSeries)); // BtFill is checked
    EXPECT_FALSE(chart.FollowLastPage);
    EXPECT_EQ(buttonsOf(chart), (Buttons{false, false, true, true}));

    addReading(chart, 1234);
    for (int s : {0, 1}) {
        ASSERT_EQ(chart.pointCount(s), 2u);
        EXPECT_EQ(chart.pointX(s, 1), 1);
        EXPECT_EQ(chart.pointValue(s, 1), 1234);
        EXPECT_EQ(chart.pointX(s, 0), 0);
    }

    // With BtFill unchecked the cleared chart shows the line series.
    chart.setBtFillChecked(false);
    chart.BtNewClick();
    EXPECT_TRUE(chart.seriesVisible(ChartModel::LineSeries));
    EXPECT_FALSE(chart.seriesVisible(ChartModel::AreaSeries));
}

TEST(ChartSeries, SamplePointIsRepeatableAndNearTheAxisMiddle)
{
    ChartModel a, b;
    a.setLeftAxis(-5000, 5000);
    b.setLeftAxis(-5000, 5000);
    for (int i = 0; i < 50; ++i) {
        a.BtNewClick();
        b.BtNewClick();
        for (int s : {0, 1}) {
            EXPECT_EQ(a.pointValue(s, 0), b.pointValue(s, 0));
            EXPECT_GE(a.pointValue(s, 0), -1250);
            EXPECT_LE(a.pointValue(s, 0), 1250);
        }
    }
    EXPECT_THROW(a.setLeftAxis(10, -10), ChartError);
    EXPECT_EQ(a.leftAxisMinimum(), -5000);
}

TEST(ChartPages, PageCountOverTheShownSeries)
{
    // The follow rule runs between the two adds, so while the area series is shown
    // it counts the pages before that series got the new point: the page lags one
    // point behind a page boundary. With the line series shown it does not.
    struct Case {
        int readings; // after the sample point
        int32_t perPage;
        bool areaShown;
        int32_t pages;
        int32_t followedPage;
    };
    const Case cases[] = {
        {0, 100, true, 1, 1},     {98, 100, true, 1, 1},    {99, 100, true, 1, 1},
        {100, 100, true, 2, 1},   {101, 100, true, 2, 2},   {100, 100, false, 2, 2},
        {250, 100, true, 3, 3},   {299, 100, true, 3, 3},   {300, 100, true, 4, 3},
        {250, 0, true, 1, 1},     {250, 1, true, 251, 250}, {250, 1, false, 251, 251},
        {9, 5, false, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.readings) + " readings, " + std::to_string(c.perPage) + " per page" +
                     (c.areaShown ? "" : ", line shown"));
        ChartModel chart;
        chart.setBtFillChecked(c.areaShown);
        chart.prepare();
        chart.setPointsPerPage(c.perPage);
        addReadings(chart, c.readings);
        EXPECT_EQ(chart.pageCount(), c.pages);
        EXPECT_EQ(chart.page(), c.followedPage);
        EXPECT_EQ(chart.controls().Bt10Caption, std::to_string(c.followedPage));
    }
}

TEST(ChartPages, VisibleRangeOfAPage)
{
    ChartModel chart = prepared();
    addReadings(chart, 249); // 250 points
    struct Case {
        int32_t page, perPage;
        PageRange range;
    };
    const Case cases[] = {
        {1, 100, {0, 100}}, {2, 100, {100, 100}}, {3, 100, {200, 50}}, {9, 100, {200, 50}}, {1, 0, {0, 250}},
    };
    for (const auto& c : cases) {
        chart.setPointsPerPage(c.perPage);
        chart.setPage(c.page);
        EXPECT_EQ(chart.visibleRange(0), c.range) << c.page << " / " << c.perPage;
    }
}

TEST(ChartPages, ButtonsWalkThePages)
{
    // From following on page 3 of 3 (250 points, 100 per page).
    struct Step {
        const char* name;
        void (ChartModel::*click)();
        int32_t page;
        Buttons buttons;
        bool following;
    };
    const Step steps[] = {
        {"Next on the last page", &ChartModel::BtNextClick, 3, {true, true, false, false}, false},
        {"Previous", &ChartModel::BTPreviousClick, 2, {true, true, true, true}, false},
        {"Previous", &ChartModel::BTPreviousClick, 1, {true, true, true, true}, false},
        {"Previous on page 1", &ChartModel::BTPreviousClick, 1, {false, false, true, true}, false},
        {"Next", &ChartModel::BtNextClick, 2, {true, true, true, true}, false},
        {"Next onto the last page", &ChartModel::BtNextClick, 3, {true, true, true, true}, false},
        {"First", &ChartModel::BtFirstClick, 1, {false, false, true, true}, false},
        {"Last", &ChartModel::BTlastClick, 3, {true, true, false, false}, true},
    };
    ChartModel chart = prepared();
    addReadings(chart, 249);
    ASSERT_EQ(chart.page(), 3);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        (chart.*s.click)();
        EXPECT_EQ(chart.page(), s.page);
        EXPECT_EQ(chart.controls().Bt10Caption, std::to_string(s.page));
        EXPECT_EQ(buttonsOf(chart), s.buttons);
        EXPECT_EQ(chart.FollowLastPage, s.following);
    }
}

TEST(ChartPages, FirstStopsFollowingAndLastResumesIt)
{
    ChartModel chart = prepared();
    addReadings(chart, 150);
    chart.BtFirstClick();
    addReadings(chart, 200);
    EXPECT_EQ(chart.page(), 1);
    EXPECT_EQ(chart.controls().Bt10Caption, "1");
    EXPECT_EQ(chart.pageCount(), 4);

    chart.BTlastClick();
    EXPECT_EQ(chart.page(), 4);
    addReadings(chart, 100);
    EXPECT_EQ(chart.page(), 5);
    EXPECT_EQ(chart.controls().Bt10Caption, "5");
    // The follow rule changes no button.
    EXPECT_EQ(buttonsOf(chart), (Buttons{true, true, false, false}));
}

TEST(ChartPages, PointsPerPageFromTheEdit)
{
    struct Case {
        const char* text;
        int32_t perPage; // afterwards
        int32_t page;    // afterwards, from page 3 of 3 (250 points at 100)
        bool convertError, chartError;
    };
    const Case cases[] = {
        {"0", 0, 1, false, false},       {"50", 50, 3, false, false},   {"1000", 1000, 1, false, false},
        {"00100", 100, 3, false, false}, {"", 100, 3, true, false},     {"2147483648", 100, 3, true, false},
        {"12a", 100, 3, true, false},    {"-5", 100, 3, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        ChartModel chart = prepared();
        addReadings(chart, 249);
        if (c.convertError)
            EXPECT_THROW(chart.MaxrecordExit(c.text), ConvertError);
        else if (c.chartError)
            EXPECT_THROW(chart.MaxrecordExit(c.text), ChartError);
        else
            chart.MaxrecordExit(c.text);
        EXPECT_EQ(chart.pointsPerPage(), c.perPage);
        EXPECT_EQ(chart.page(), c.page);
    }
}

TEST(ChartPages, PagingOffShowsOnePageAfterTheNextPoint)
{
    ChartModel chart = prepared();
    addReadings(chart, 249);
    chart.MaxrecordExit("0");
    EXPECT_EQ(chart.controls().Bt10Caption, "3"); // the caption waits for the next point
    addReading(chart, 1);
    EXPECT_EQ(chart.controls().Bt10Caption, "1");
    EXPECT_EQ(chart.visibleRange(0), (PageRange{0, 251}));
}

TEST(ChartZoom, EnlargeAndRestoreTwice)
{
    ChartModel chart = prepared();
    for (int round = 0; round < 2; ++round) {
        chart.TbFdClick(800, 600);
        EXPECT_EQ(chart.controls().Bounds, (ChartBounds{2, 28, 788, 515}));
        EXPECT_EQ(chart.ChartNormalBounds(), (ChartBounds{336, 172, 371, 309}));
        EXPECT_FALSE(chart.controls().TbFdVisible);
        EXPECT_TRUE(chart.controls().TbSxVisible);
        chart.TbFdClick(800, 600);
        EXPECT_EQ(chart.controls().Bounds, (ChartBounds{336, 172, 371, 309}));
        EXPECT_TRUE(chart.controls().TbFdVisible);
        EXPECT_FALSE(chart.controls().TbSxVisible);
    }
}

TEST(ChartSeries, BoundCarriesThroughTheModel)
{
    ChartModel chart(8);
    chart.prepare();
    addReadings(chart, 100);
    EXPECT_LE(chart.pointCount(0), 9u);
    EXPECT_EQ(chart.pointValue(0, chart.pointCount(0) - 1), 990);
    EXPECT_EQ(chart.pointX(0, chart.pointCount(0) - 1), 100);
    EXPECT_EQ(chart.pageCount(), 1);
}

} // namespace
} // namespace valdrin
