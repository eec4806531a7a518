#include "ui/ChartView.h"

#include "meter/FcommCore.h"

#include <QWheelEvent>

namespace valdrin {

ChartView::ChartView(FcommCore& core, Messages& messages, FileDialogs& dialogs, QWidget* parent)
    : QFrame(parent), core_(core), messages_(messages), dialogs_(dialogs)
{
    setObjectName("Chtshow");
    setGeometry(336, 172, 371, 309);
}

void ChartView::refresh() { update(); }

void ChartView::paintEvent(QPaintEvent* event) { QFrame::paintEvent(event); }

void ChartView::wheelEvent(QWheelEvent* event) { event->accept(); }

} // namespace valdrin
