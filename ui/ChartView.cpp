#include "ui/ChartView.h"

#include "meter/FcommCore.h"
#include "ui/ChartPainter.h"
#include "ui/ChartPicture.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

namespace valdrin {

ChartView::ChartView(FcommCore& core, Messages& messages, FileDialogs& dialogs, QWidget* parent)
    : QFrame(parent), core_(core), messages_(messages), dialogs_(dialogs)
{
    setObjectName("Chtshow");
    setFrameStyle(QFrame::NoFrame); // border and bevel are part of the painted chart
    setAttribute(Qt::WA_OpaquePaintEvent);
    row_ = buildChartToolRow(*this, core_, {[this] { BtSaveClick(); }, [this] { refresh(); }});
    const ChartBounds& b = core_.S.chart.controls().Bounds;
    setGeometry(b.left, b.top, b.width, b.height);
    shownRevision_ = ~uint64_t{0};
    refresh();
}

namespace {

bool sameControls(const ChartControls& a, const ChartControls& b)
{
    return a.BtFirstEnabled == b.BtFirstEnabled && a.BTPreviousEnabled == b.BTPreviousEnabled
        && a.BtNextEnabled == b.BtNextEnabled && a.BTlastEnabled == b.BTlastEnabled && a.Bt10Caption == b.Bt10Caption
        && a.BtFillChecked == b.BtFillChecked && a.FillChecked == b.FillChecked
        && a.ComboBox1ItemIndex == b.ComboBox1ItemIndex && a.TbFdVisible == b.TbFdVisible
        && a.TbSxVisible == b.TbSxVisible && a.Bounds == b.Bounds;
}

} // namespace

ChartView::ShownPage ChartView::pageNow() const
{
    const ChartModel& chart = core_.S.chart;
    ShownPage page;
    page.size = size();
    for (int series : {ChartModel::AreaSeries, ChartModel::LineSeries}) {
        const auto i = static_cast<size_t>(series);
        page.visible[i] = chart.seriesVisible(series);
        page.range[i] = page.visible[i] ? chart.visibleRange(series) : PageRange{0, 0};
    }
    page.pointsPerPage = chart.pointsPerPage();
    page.axisMinimum = chart.leftAxisMinimum();
    page.axisMaximum = chart.leftAxisMaximum();
    return page;
}

// What differs between the page shown and the page now, in the chart's pixels.
QRegion ChartView::pageChange(const ShownPage& now) const
{
    const ShownPage& was = shownPage_;
    if (frame_.isNull()) // not laid out for this size and font yet: the next paint draws it all
        return rect();
    if (now.size != was.size || now.axisMinimum != was.axisMinimum || now.axisMaximum != was.axisMaximum)
        return rect();
    if (now.pointsPerPage != was.pointsPerPage || now.visible != was.visible)
        return rect().adjusted(0, ChartToolRowHeight, 0, 0);
    QRegion dirty;
    for (size_t i = 0; i < now.range.size(); ++i) {
        const PageRange& a = was.range[i];
        const PageRange& b = now.range[i];
        if (a == b)
            continue;
        if (a.first != b.first) // a page turn: another bottom axis too
            return rect().adjusted(0, ChartToolRowHeight, 0, 0);
        dirty += chartGrowthRect(core_.S.chart, layout_, a.count, b.count);
    }
    return dirty;
}

QRegion ChartView::refresh()
{
    const ChartModel& chart = core_.S.chart;
    if (chart.revision() == shownRevision_)
        return {};
    const bool first = shownRevision_ == ~uint64_t{0};
    shownRevision_ = chart.revision();
    const ChartControls& controls = chart.controls();
    if (first || !sameControls(controls, shownControls_)) {
        mirrorChartControls(row_, controls);
        shownControls_ = controls;
    }
    const ChartBounds& b = controls.Bounds;
    const QRect place(b.left, b.top, b.width, b.height);
    if (geometry() != place) {
        setGeometry(place);
        if (controls.TbSxVisible)
            raise(); // enlarged: over the LCD panel, the dial and the grid
    }
    const ShownPage now = pageNow();
    const QRegion dirty = first ? QRegion(rect()) : pageChange(now);
    if (now.axisMinimum != shownPage_.axisMinimum || now.axisMaximum != shownPage_.axisMaximum)
        frame_ = QPixmap();
    shownPage_ = now;
    if (!dirty.isEmpty())
        update(dirty);
    return dirty;
}

void ChartView::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    frame_ = QPixmap(); // a new size lays the chart out anew
}

void ChartView::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        frame_ = QPixmap(); // the axis labels and the layout follow the font
}

void ChartView::BtSaveClick()
{
    valdrin::BtSaveClick(core_.S.chart, size(), font(), messages_, dialogs_);
}

void ChartView::paintEvent(QPaintEvent* event)
{
    if (frame_.size() != size()) {
        frame_ = QPixmap(size());
        layout_ = chartLayout(size(), fontMetrics());
        QPainter painter(&frame_);
        painter.setFont(font());
        paintChartFrame(painter, core_.S.chart, size());
    }
    const QRect dirty = event->rect();
    QPainter painter(this);
    painter.drawPixmap(dirty, frame_, dirty);
    painter.setFont(font());
    paintChartPage(painter, core_.S.chart, layout_, dirty);
}

void ChartView::wheelEvent(QWheelEvent* event) { event->accept(); }

} // namespace valdrin
