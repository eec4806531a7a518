// The grid's vertical scroll bar. It moves with every new row, but once the table
// holds a few hundred rows one row more changes neither the handle's place nor its
// length by a pixel; the stock bar repaints all of itself anyway, its whole groove
// in one fill that the raster engine hands to helper threads. This one repaints
// only what changed: where the handle was and where it is now; all of itself only
// when an end is reached or left (the arrows show it).
#pragma once

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace valdrin {

class GridScrollBar final : public QScrollBar {
public:
    explicit GridScrollBar(QWidget* parent = nullptr) : QScrollBar(Qt::Vertical, parent) {}

protected:
    void sliderChange(SliderChange change) override
    {
        // Compared with what was painted last, so a resize or a new style between
        // two changes cannot hide one.
        if (change == SliderValueChange || change == SliderRangeChange) {
            const Shown now = shownNow();
            if (now == painted_)
                return;
            if (now.atTop == painted_.atTop && now.atBottom == painted_.atBottom && painted_.handle.isValid()) {
                update(now.handle | painted_.handle);
                return;
            }
        }
        QScrollBar::sliderChange(change);
    }

    void paintEvent(QPaintEvent* event) override
    {
        painted_ = shownNow();
        QScrollBar::paintEvent(event);
    }

private:
    struct Shown {
        QRect handle;
        bool atTop = false, atBottom = false;
        bool operator==(const Shown&) const = default;
    };

    Shown shownNow() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
                value() == minimum(), value() == maximum()};
    }

    Shown painted_{QRect(-1, -1, 0, 0)};  // nothing painted yet
};

} // namespace valdrin
