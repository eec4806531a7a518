#include "ui/ChartPainter.h"

#include "chart/ChartModel.h"
#include "ui/BgrColour.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace valdrin {
namespace {

// A label step of 1, 2 or 5 times a power of ten, the smallest that leaves `room`
// pixels from one label to the next on an axis of `pixels` pixels spanning `span`.
int64_t labelStep(double span, int pixels, int room)
{
    if (span <= 0 || pixels <= 0)
        return 1;
    const double least = span * room / pixels;
    for (int64_t power = 1;; power *= 10) {
        for (int64_t f : {1, 2, 5}) {
            if (static_cast<double>(f * power) >= least)
                return f * power;
        }
        if (power > (int64_t{1} << 56))
            return power;
    }
}

int64_t floorToStep(int64_t v, int64_t step)
{
    const int64_t q = v / step;
    return (q * step > v ? q - 1 : q) * step;
}

// Maps values of the fixed left axis to rows of the plot.
struct ValueRows {
    double minimum, maximum;
    QRect plot;

    int row(double v) const
    {
        const double span = maximum - minimum;
        const double y = span > 0 ? plot.bottom() - (v - minimum) * (plot.height() - 1) / span
                                  : plot.top() + (plot.height() - 1) / 2.0;
        // Far beyond the plot the clip hides it; keep it within what the painter takes.
        return static_cast<int>(std::lround(std::clamp(y, plot.top() - 100000.0, plot.bottom() + 100000.0)));
    }
};

// Maps the pageSlots of a page (points per page, or all points with paging off) to columns.
struct SlotColumns {
    int64_t pageSlots;
    QRect plot;

    int column(int64_t slot) const
    {
        if (pageSlots <= 1)
            return plot.left() + (plot.width() - 1) / 2;
        return plot.left() + static_cast<int>(slot * (plot.width() - 1) / (pageSlots - 1));
    }
};

void paintPanel(QPainter& painter, QSize size, const ChartLayout& layout)
{
    const QRect all(QPoint(0, 0), size);
    painter.fillRect(all, bgrColour(ChartPanelColour));
    // Below the tool row: the gradient from silver to white.
    const QRect inner = all.adjusted(2, 2, -2, -2);
    const QRect below(inner.left(), layout.toolRow.bottom() + 1, inner.width(), inner.bottom() - layout.toolRow.bottom());
    QLinearGradient gradient(below.topLeft(), below.bottomLeft());
    gradient.setColorAt(0, bgrColour(ChartGradientTop));
    gradient.setColorAt(1, bgrColour(ChartGradientBottom));
    painter.fillRect(below, gradient);
    // Single border, then the lowered inner bevel.
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(all.adjusted(0, 0, -1, -1));
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(1, 1, size.width() - 2, 1);
    painter.drawLine(1, 1, 1, size.height() - 2);
    painter.setPen(Qt::white);
    painter.drawLine(2, size.height() - 2, size.width() - 2, size.height() - 2);
    painter.drawLine(size.width() - 2, 2, size.width() - 2, size.height() - 2);
}

void paintLeftAxis(QPainter& painter, const ChartModel& model, const ChartLayout& layout, const ValueRows& rows)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const double span = rows.maximum - rows.minimum;
    const int64_t step = labelStep(span, layout.plot.height(), metrics.height() + 6);
    const int64_t minor = std::max<int64_t>(step / (ChartMinorTicks + 1), 1);
    const int tickEnd = layout.axisX - 1, tickStart = layout.axisX - ChartTickLength;

    painter.setPen(Qt::black);
    const int64_t lo = model.leftAxisMinimum(), hi = model.leftAxisMaximum();
    for (int64_t v = floorToStep(lo, minor); v <= hi; v += minor) {
        if (v < lo)
            continue;
        const int y = rows.row(static_cast<double>(v));
        painter.drawLine(tickStart, y, tickEnd, y);
        if (v % step != 0)
            continue;
        const QRect box(layout.toolRow.left() + 2, y - metrics.height() / 2, tickStart - 2 - (layout.toolRow.left() + 2),
                        metrics.height());
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }

    QPen dashed(bgrColour(ChartAxisColour), 1, Qt::CustomDashLine);
    dashed.setDashPattern({4, 2});
    painter.setPen(dashed);
    painter.drawLine(layout.axisX, layout.plot.top(), layout.axisX, layout.plot.bottom());
}

void paintBottomAxis(QPainter& painter, int64_t firstX, const SlotColumns& columns, const ChartLayout& layout)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int y = layout.plot.bottom() + 1;
    painter.setPen(Qt::black);
    painter.drawLine(layout.leftWall.left(), y, layout.plot.right(), y);
    if (columns.pageSlots <= 0)
        return;
    const int64_t lastX = firstX + columns.pageSlots - 1;
    const int room = metrics.horizontalAdvance(QString::number(lastX)) + 10;
    const int64_t step = labelStep(static_cast<double>(columns.pageSlots), layout.plot.width(), room);
    for (int64_t x = floorToStep(firstX, step); x <= lastX; x += step) {
        if (x < firstX)
            continue;
        const int column = columns.column(x - firstX);
        painter.drawLine(column, y + 1, column, y + ChartTickLength);
        const QString text = QString::number(x);
        const int w = metrics.horizontalAdvance(text);
        painter.drawText(QRect(column - w, y + ChartTickLength + 1, 2 * w, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                         text);
    }
}

void paintSeries(QPainter& painter, const ChartModel& model, int series, const SlotColumns& columns,
                 const ValueRows& rows, const QRect& plot)
{
    const SeriesStyle& style = SeriesStyles[static_cast<size_t>(series)];
    const PageRange range = model.visibleRange(series);
    if (range.count == 0)
        return;
    const QColor pen = bgrColour(style.pen), fill = bgrColour(style.colour);
    const int width = plot.width();

    if (range.count > static_cast<size_t>(width)) {
        // More points than columns: one min-max stroke per column, joined to the
        // column before it, looks as the full curve does at this size.
        const int64_t pageSlots = std::max<int64_t>(columns.pageSlots, static_cast<int64_t>(range.count));
        const int64_t count = static_cast<int64_t>(range.count);
        bool joined = false;
        int32_t previous = 0;
        // Gathered and drawn in two calls: a painter call per stroke would cost
        // more than the span queries.
        QVarLengthArray<QLine, 1024> fills, strokes;
        for (int c = 0; c < width; ++c) {
            const int64_t s0 = c * pageSlots / width;
            const int64_t s1 = std::min<int64_t>((c + 1) * pageSlots / width, count);
            if (s0 >= count)
                break;
            if (s0 >= s1)
                continue;
            ValueSpan span = model.valueSpan(series, range.first + static_cast<size_t>(s0), static_cast<size_t>(s1 - s0));
            if (joined) {
                span.minimum = std::min(span.minimum, previous);
                span.maximum = std::max(span.maximum, previous);
            }
            previous = model.pointValue(series, range.first + static_cast<size_t>(s1 - 1));
            joined = true;
            const int x = plot.left() + c;
            const int top = rows.row(span.maximum), bottom = rows.row(span.minimum);
            if (style.area && bottom < plot.bottom()) // the area below the stroke
                fills.append(QLine(x, bottom + 1, x, plot.bottom()));
            strokes.append(QLine(x, top, x, bottom));
        }
        if (!fills.isEmpty()) {
            painter.setPen(fill);
            painter.drawLines(fills.constData(), static_cast<int>(fills.size()));
        }
        painter.setPen(pen);
        painter.drawLines(strokes.constData(), static_cast<int>(strokes.size()));
        return;
    }

    QPolygon curve;
    curve.reserve(static_cast<int>(range.count) + 2);
    for (size_t i = 0; i < range.count; ++i)
        curve << QPoint(columns.column(static_cast<int64_t>(i)), rows.row(model.pointValue(series, range.first + i)));
    if (style.area) {
        QPolygon area = curve;
        area << QPoint(curve.back().x(), plot.bottom() + 1) << QPoint(curve.front().x(), plot.bottom() + 1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawPolygon(area);
        painter.setBrush(Qt::NoBrush);
    }
    painter.setPen(pen);
    if (curve.size() == 1)
        painter.drawPoint(curve.front());
    else
        painter.drawPolyline(curve);
}

} // namespace

ChartLayout chartLayout(QSize size, const QFontMetrics& metrics)
{
    const QRect inner = QRect(QPoint(0, 0), size).adjusted(2, 2, -2, -2);
    ChartLayout layout{};
    layout.toolRow = QRect(inner.left(), inner.top(), inner.width(), ChartToolRowHeight - inner.top());
    const int labels = metrics.horizontalAdvance(QStringLiteral("-00000"));
    layout.axisX = inner.left() + 4 + labels + 2 + ChartTickLength;
    const int top = layout.toolRow.bottom() + 1 + metrics.height() / 2 + 4;
    const int bottom = inner.bottom() - 3 - metrics.height() - ChartTickLength - 1;
    const int left = layout.axisX + ChartLeftWallWidth;
    const int right = inner.right() - 10;
    layout.plot = QRect(QPoint(left, top), QPoint(std::max(right, left), std::max(bottom, top)));
    layout.leftWall = QRect(layout.axisX, top, ChartLeftWallWidth, layout.plot.height());
    return layout;
}

namespace {

// What both the frame and the page need: where the parts lie and how values and
// slots map to pixels.
struct PagePlace {
    ChartLayout layout;
    ValueRows rows;
    SlotColumns columns;
    int axisSeries;
    PageRange axisRange;
};

PagePlace pagePlace(const ChartModel& model, const ChartLayout& layout)
{
    const ValueRows rows{static_cast<double>(model.leftAxisMinimum()), static_cast<double>(model.leftAxisMaximum()),
                         layout.plot};
    // The bottom axis follows the first shown series; the last page is laid out
    // as a full page.
    const int axisSeries = model.seriesVisible(ChartModel::AreaSeries) ? ChartModel::AreaSeries : ChartModel::LineSeries;
    const PageRange axisRange = model.visibleRange(axisSeries);
    const int64_t pageSlots = model.pointsPerPage() > 0 ? model.pointsPerPage() : static_cast<int64_t>(axisRange.count);
    return {layout, rows, SlotColumns{pageSlots, layout.plot}, axisSeries, axisRange};
}

} // namespace

void paintChartFrame(QPainter& painter, const ChartModel& model, QSize size)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const PagePlace place = pagePlace(model, chartLayout(size, painter.fontMetrics()));
    paintPanel(painter, size, place.layout);
    painter.fillRect(place.layout.leftWall, bgrColour(ChartLeftWallColour));
    painter.fillRect(place.layout.plot, bgrColour(ChartBackWallColour));
    paintLeftAxis(painter, model, place.layout, place.rows);
    painter.restore();
}

void paintChartPage(QPainter& painter, const ChartModel& model, const ChartLayout& layout, const QRect& dirty)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const PagePlace place = pagePlace(model, layout);
    const QRect& plot = place.layout.plot;
    if (dirty.intersects(plot)) {
        painter.save();
        painter.setClipRect(plot & dirty);
        for (int series : {ChartModel::AreaSeries, ChartModel::LineSeries}) {
            if (model.seriesVisible(series))
                paintSeries(painter, model, series, place.columns, place.rows, plot);
        }
        painter.restore();
    }
    // The bottom axis and its labels lie under the plot; a paint of new points
    // inside the plot leaves them alone.
    if (dirty.bottom() > plot.bottom()) {
        const int64_t firstX = place.axisRange.count > 0 ? model.pointX(place.axisSeries, place.axisRange.first)
                                                         : static_cast<int64_t>(place.axisRange.first);
        paintBottomAxis(painter, firstX, place.columns, place.layout);
    }
    painter.restore();
}

void paintChart(QPainter& painter, const ChartModel& model, QSize size)
{
    paintChartFrame(painter, model, size);
    paintChartPage(painter, model, chartLayout(size, painter.fontMetrics()), QRect(QPoint(0, 0), size));
}

QRect chartGrowthRect(const ChartModel& model, const ChartLayout& layout, size_t shownCount, size_t count)
{
    const PagePlace place = pagePlace(model, layout);
    const QRect& plot = place.layout.plot;
    // A page with more points than columns is drawn as min-max strokes, a few
    // points to a column: those are redrawn whole.
    if (shownCount == 0 || count <= shownCount || count > static_cast<size_t>(plot.width())
        || model.pointsPerPage() <= 0)
        return plot;
    // The new segments run from the last point shown to the newest; a pen's
    // width and a pixel of rounding around them.
    const int from = place.columns.column(static_cast<int64_t>(shownCount) - 1) - 2;
    const int to = place.columns.column(static_cast<int64_t>(count) - 1) + 2;
    return QRect(QPoint(from, plot.top()), QPoint(to, plot.bottom())) & plot;
}

} // namespace valdrin
