#include "ui/DialView.h"

#include "meter/FcommCore.h"
#include "ui/BgrColour.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <vector>

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

void DialView::drawNeedle()
{
    QPainter painter(&picture_);
    paintItem(painter,
              {DialItem::Kind::Line, needleTip_.x, needleTip_.y, needleBase_.x, needleBase_.y, NeedlePen, DialBlack, {}},
              picture_.rect());
}

// The face comes back from its copy, so marks and numbers the needle crossed stay whole.
void DialView::eraseNeedle()
{
    QPainter painter(&picture_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& under : needleUnder_)
        painter.drawImage(under, face_, under);
}

QRegion DialView::needleRegion() const
{
    // The base lies far below the picture: the visible needle runs from the tip to
    // the lower edge. A slanted needle's bounding box is mostly face; bands of a few
    // rows each hold only the pixels near the line.
    const DialPoint tip = needleTip_, base = needleBase_;
    if (base.y <= tip.y)
        return QRegion(picture_.rect());
    const int margin = NeedlePen + 1;
    const int bottom = std::min(base.y, picture_.height());
    const auto xAt = [&](int y) {
        y = std::clamp(y, tip.y, bottom);
        return tip.x + static_cast<int>(std::lround(static_cast<double>(base.x - tip.x) * (y - tip.y)
                                                    / (base.y - tip.y)));
    };
    constexpr int kBand = 8;
    // Bands one under the other, each sorted and apart: the region takes them as they are.
    std::vector<QRect> bands;
    for (int top = tip.y - margin; top < bottom + margin; top += kBand) {
        const int end = std::min(top + kBand, bottom + margin);
        const int x0 = xAt(top - margin), x1 = xAt(end + margin);
        const QRect band = QRect(QPoint(std::min(x0, x1) - margin, top), QPoint(std::max(x0, x1) + margin, end - 1))
                           & picture_.rect();
        if (!band.isEmpty())
            bands.push_back(band);
    }
    QRegion region;
    region.setRects(bands.data(), static_cast<int>(bands.size()));
    return region;
}

QRegion DialView::refresh()
{
    const DialModel& dial = core_.S.dial;
    if (picture_.size() != contentsRect().size()) {
        // KD1 fills the client area; a new picture needs the face again.
        picture_ = QImage(contentsRect().size(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
        face_ = picture_.copy();
        shownFace_ = shownNeedle_ = 0;
        needleDrawn_ = false;
    }
    const bool faceChanged = dial.faceRevision() != shownFace_;
    const bool needleChanged = dial.needleRevision() != shownNeedle_;
    if (!faceChanged && !needleChanged)
        return {};
    // The needle stands on this face only when KDrun ran after the face was built.
    const bool needleShown = dial.needleRevision() > dial.faceRevision();
    shownFace_ = dial.faceRevision();
    shownNeedle_ = dial.needleRevision();
    QRegion dirty;
    if (faceChanged) {
        {
            QPainter painter(&face_);
            painter.setFont(font());
            for (const DialItem& item : dial.face())
                paintItem(painter, item, face_.rect());
        }
        picture_ = face_.copy();
        dirty = picture_.rect();
        needleDrawn_ = false; // the face covers the needle until the next move
    } else if (needleDrawn_) {
        if (needleShown && needleTip_ == dial.NeedleTip && needleBase_ == dial.NeedleBase)
            return {}; // the same reading again: the needle stays where it is
        eraseNeedle();
        dirty = needleUnder_;
        needleDrawn_ = false;
    }
    if (needleShown) {
        needleTip_ = dial.NeedleTip;
        needleBase_ = dial.NeedleBase;
        needleUnder_ = needleRegion();
        drawNeedle();
        dirty += needleUnder_;
        needleDrawn_ = true;
    }
    dirty.translate(contentsRect().topLeft());
    update(dirty);
    return dirty;
}

void DialView::paintEvent(QPaintEvent* event)
{
    {
        // Only what was asked for: a needle move repaints two thin bands of rectangles,
        // each small enough to be copied at once.
        QPainter painter(this);
        for (const QRect& asked : event->region()) {
            const QRect dirty = asked & contentsRect();
            painter.drawImage(dirty, picture_, dirty.translated(-contentsRect().topLeft()));
        }
    }
    if (!contentsRect().contains(event->rect()))
        QFrame::paintEvent(event); // the bevel
}

} // namespace valdrin
