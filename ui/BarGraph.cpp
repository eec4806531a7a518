#include "ui/BarGraph.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionProgressBar>

namespace valdrin {

void BarGraph::paintEvent(QPaintEvent* event)
{
    const Look look{size(), minimum(), maximum(), palette().cacheKey(), style(), isEnabled(), isActiveWindow()};
    if (!(look == look_) || pictures_.size() >= kMostPictures) {
        pictures_.clear();
        look_ = look;
    }
    auto picture = pictures_.find(value());
    if (picture == pictures_.end()) {
        QPixmap drawn(size());
        drawn.fill(palette().color(backgroundRole()));
        QPainter painter(&drawn);
        QStyleOptionProgressBar option;
        initStyleOption(&option);
        style()->drawControl(QStyle::CE_ProgressBar, &option, &painter, this);
        painter.end();
        picture = pictures_.emplace(value(), std::move(drawn)).first;
    }
    QPainter painter(this);
    painter.drawPixmap(event->rect(), picture->second, event->rect());
}

} // namespace valdrin
