#include "ui/DialView.h"

#include "meter/FcommCore.h"
#include "ui/BgrColour.h"

#include <QLabel>
#include <QPainter>
#include <QResizeEvent>

namespace valdrin {
namespace {

constexpr int NeedlePen = 2;

void paintItem(QPainter& painter, const DialItem& item, const QRect& all)
{
    const QColor colour = bgrColour(item.colour);
    switch (item.kind) {
    case DialItem::Kind::Clear:
        painter.fillRect(all, colour);
        break;
    case DialItem::Kind::Text:
        painter.setPen(colour);
        painter.drawText(QRect(item.x1, item.y1, 200, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromStdString(item.text));
        break;
    case DialItem::Kind::Ellipse:
        painter.setPen(QPen(colour, item.penWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(item.x1, item.y1, item.x2 - item.x1, item.y2 - item.y1));
        break;
    case DialItem::Kind::Line:
        painter.setPen(QPen(colour, item.penWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(item.x1, item.y1, item.x2, item.y2);
        break;
    }
}

} // namespace

DialView::DialView(FcommCore& core, QWidget* parent) : QFrame(parent), core_(core)
{
    setObjectName("KD");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    // Created before the window adds its link pictures to the panel, so those stay on top.
    KdFd_ = new QLabel(this);
    KdFd_->setObjectName("KdFd");
    KdFd_->setToolTip("Enlarge");
    KdSx_ = new QLabel(this);
    KdSx_->setObjectName("KdSx");
    KdSx_->setToolTip("Restore");
    for (QLabel* image : {KdFd_, KdSx_}) {
        image->resize(25, 25);
        image->hide();
    }
    setGeometry(337, 28, 371, 143);
    KDResize();
    refresh();
}

void DialView::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    KDResize();
    refresh();
}

void DialView::KDResize()
{
    // The enlarge and restore images keep to the right edge.
    KdFd_->move(width() - 30, 5);
    KdSx_->move(width() - 30, 5);
}

void DialView::drawNeedle(uint32_t colour)
{
    QPainter painter(&picture_);
    paintItem(painter,
              {DialItem::Kind::Line, needleTip_.x, needleTip_.y, needleBase_.x, needleBase_.y, NeedlePen, colour, {}},
              picture_.rect());
}

void DialView::refresh()
{
    const DialModel& dial = core_.S.dial;
    if (picture_.size() != contentsRect().size()) {
        // KD1 fills the client area; a new picture needs the face again.
        picture_ = QImage(contentsRect().size(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
        shownFace_ = shownNeedle_ = 0;
        needleDrawn_ = false;
    }
    const bool faceChanged = dial.faceRevision() != shownFace_;
    const bool needleChanged = dial.needleRevision() != shownNeedle_;
    if (!faceChanged && !needleChanged)
        return;
    if (faceChanged) {
        QPainter painter(&picture_);
        painter.setFont(font());
        for (const DialItem& item : dial.face())
            paintItem(painter, item, picture_.rect());
        needleDrawn_ = false; // the face covers the needle until the next move
    } else if (needleDrawn_) {
        drawNeedle(DialWhite);
        needleDrawn_ = false;
    }
    // The needle stands on this face only when KDrun ran after the face was built.
    if (dial.needleRevision() > dial.faceRevision()) {
        needleTip_ = dial.NeedleTip;
        needleBase_ = dial.NeedleBase;
        drawNeedle(DialBlack);
        needleDrawn_ = true;
    }
    shownFace_ = dial.faceRevision();
    shownNeedle_ = dial.needleRevision();
    update();
}

void DialView::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.drawImage(contentsRect().topLeft(), picture_);
    }
    QFrame::paintEvent(event);
}

} // namespace valdrin
