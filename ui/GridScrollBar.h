// The grid's vertical scroll bar. It moves with every new row, but once the table
// holds a few hundred rows one row more changes neither the handle's place nor its
// length by a pixel; the stock bar repaints all of itself anyway (a new range
// repaints it whatever it shows), its whole groove in fills that the raster engine
// hands to helper threads. This one asks for a repaint only where its handle was
// and is, and keeps its last picture: a repaint that shows nothing new is a copy.
#pragma once

#include <QPixmap>
#include <QScrollBar>

namespace valdrin {

class GridScrollBar final : public QScrollBar {
public:
    explicit GridScrollBar(QWidget* parent = nullptr) : QScrollBar(Qt::Vertical, parent) {}

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // What the picture shows: the handle, whether the ends are reached (the arrows
    // tell it), and what it was drawn with.
    struct Shown {
        QRect handle;
        bool atTop = false, atBottom = false;
        QSize size;
        qint64 palette = 0;
        const void* style = nullptr;
        bool enabled = true, active = true;
        bool operator==(const Shown&) const = default;
    };
    Shown shownNow() const;

    Shown painted_;  // nothing painted yet: an empty size
    QPixmap picture_;
};

} // namespace valdrin
