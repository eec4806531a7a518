// Paints the trend chart Chtshow from the chart model: the panel with its border
// and lowered bevel, the strip that carries the tool row, the silver-to-white
// gradient, the white back wall with the yellow left wall, the fixed left axis,
// the bottom axis by point index and the visible page of the shown series. The
// same painting serves the screen, the saved picture and the benchmark. The screen
// keeps the frame as a picture and repaints only the columns that new points
// reached.
//
// Cost: only the current page is read. A page with more points than the plot has
// pixel columns is drawn as one min-max stroke per column from the model's span
// query, so no page costs more than a few hundred columns however many points the
// series holds.
#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>

class QFontMetrics;
class QPainter;

namespace valdrin {

class ChartModel;

// Colours of the chart's fixed settings, 0x00BBGGRR.
inline constexpr uint32_t ChartPanelColour = 16309696; // pale blue
inline constexpr uint32_t ChartAxisColour = 8404992;   // dark blue, dashed left axis line
inline constexpr uint32_t ChartLeftWallColour = 0x00FFFF; // yellow
inline constexpr uint32_t ChartBackWallColour = 0xFFFFFF; // white
inline constexpr uint32_t ChartGradientTop = 0xC0C0C0;    // silver
inline constexpr uint32_t ChartGradientBottom = 0xFFFFFF; // white

inline constexpr int ChartToolRowHeight = 28; // the strip of the tool row on the top edge
inline constexpr int ChartLeftWallWidth = 11;
inline constexpr int ChartTickLength = 3;
inline constexpr int ChartMinorTicks = 4;

// Where the parts of a chart of a given size lie, in its own pixels.
struct ChartLayout {
    QRect toolRow;  // strip of the panel colour under the tool row
    QRect plot;     // the back wall: points are drawn inside it
    QRect leftWall; // left of the back wall
    int axisX;      // x of the dashed left axis line (the wall's left edge)
};

ChartLayout chartLayout(QSize size, const QFontMetrics& metrics);

// Paints the whole chart into a device of `size` pixels with the painter's font.
void paintChart(QPainter& painter, const ChartModel& model, QSize size);

// The two halves of paintChart. The frame is what new points and page turns leave
// as it is (panel, walls, left axis), so a view can keep it as a picture; the page
// is the shown series inside the plot and the bottom axis, painted over the frame,
// only where it meets `dirty`.
void paintChartFrame(QPainter& painter, const ChartModel& model, QSize size);
// Both take the layout of the chart's size in the painter's font (chartLayout).
void paintChartPage(QPainter& painter, const ChartModel& model, const ChartLayout& layout, const QRect& dirty);

// What a page that only grew from shownCount to count points (same first point,
// same points per page) changes: the plot's columns from the last point shown to
// the newest. The whole plot when the page is drawn another way since.
QRect chartGrowthRect(const ChartModel& model, const ChartLayout& layout, size_t shownCount, size_t count);

} // namespace valdrin
