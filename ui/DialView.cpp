#include "ui/DialView.h"

#include "meter/FcommCore.h"

#include <QPainter>

namespace valdrin {

DialView::DialView(FcommCore& core, QWidget* parent) : QFrame(parent), core_(core)
{
    setObjectName("KD");
    setGeometry(337, 28, 371, 143);
}

void DialView::refresh() { update(); }

void DialView::paintEvent(QPaintEvent* event) { QFrame::paintEvent(event); }

} // namespace valdrin
