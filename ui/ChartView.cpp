#include "ui/ChartView.h"

#include "meter/FcommCore.h"
#include "ui/ChartPainter.h"
#include "ui/ChartPicture.h"

#include <QPainter>
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

void ChartView::refresh()
{
    const ChartModel& chart = core_.S.chart;
    if (chart.revision() == shownRevision_)
        return;
    shownRevision_ = chart.revision();
    mirrorChartControls(row_, chart.controls());
    const ChartBounds& b = chart.controls().Bounds;
    const QRect place(b.left, b.top, b.width, b.height);
    if (geometry() != place) {
        setGeometry(place);
        if (chart.controls().TbSxVisible)
            raise(); // enlarged: over the LCD panel, the dial and the grid
    }
    update();
}

void ChartView::BtSaveClick()
{
    valdrin::BtSaveClick(core_.S.chart, size(), font(), messages_, dialogs_);
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    paintChart(painter, core_.S.chart, size());
}

void ChartView::wheelEvent(QWheelEvent* event) { event->accept(); }

} // namespace valdrin
