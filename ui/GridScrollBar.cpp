#include "ui/GridScrollBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace valdrin {

GridScrollBar::Shown GridScrollBar::shownNow() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
            value() == minimum(),
            value() == maximum(),
            size(),
            palette().cacheKey(),
            style(),
            isEnabled(),
            isActiveWindow()};
}

void GridScrollBar::sliderChange(SliderChange change)
{
    // Compared with what was painted last, so a resize or a new style between two
    // changes cannot hide one.
    if (change == SliderValueChange || change == SliderRangeChange || change == SliderStepsChange) {
        const Shown now = shownNow();
        if (now == painted_)
            return;
        Shown moved = now;
        moved.handle = painted_.handle;
        if (moved == painted_ && painted_.handle.isValid()) {
            update(now.handle | painted_.handle);
            return;
        }
    }
    QScrollBar::sliderChange(change);
}

void GridScrollBar::paintEvent(QPaintEvent* event)
{
    // Pressed or hovered, the stock bar shows its parts lit: it paints itself then.
    if (underMouse() || isSliderDown()) {
        painted_ = {};
        QScrollBar::paintEvent(event);
        return;
    }
    const Shown now = shownNow();
    if (!(now == painted_)) {
        picture_ = QPixmap(size());
        picture_.fill(palette().color(backgroundRole()));
        QPainter painter(&picture_);
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.subControls = QStyle::SC_All;
        option.activeSubControls = QStyle::SC_None;
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
        painted_ = now;
    }
    // In bands of a few dozen rows: a taller copy goes to helper threads and costs
    // more in waking them than the copy itself.
    constexpr int kBand = 64;
    QPainter painter(this);
    for (const QRect& asked : event->region())
        for (int top = asked.top(); top <= asked.bottom(); top += kBand) {
            const QRect band(asked.left(), top, asked.width(), std::min(kBand, asked.bottom() + 1 - top));
            painter.drawPixmap(band, picture_, band);
        }
}

} // namespace valdrin
