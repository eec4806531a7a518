#include "ui/WindowGlyphLabel.h"

#include <QPainter>

#include <cmath>

namespace valdrin {

GlyphLabel::GlyphLabel(GlyphFont font, int pixelHeight, bool bold, QWidget* parent)
    : QWidget(parent), font_(font), pixelHeight_(pixelHeight), bold_(bold)
{
}

void GlyphLabel::setCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    const int width = static_cast<int>(std::ceil(glyphTextWidth(font_, pixelHeight_, caption_)));
    resize(width > 0 ? width : 1, pixelHeight_);
    setAccessibleName(QString::fromStdString(caption_));
    update();
}

void GlyphLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    drawGlyphText(painter, font_, QPointF(0, 0), pixelHeight_, caption_, bold_);
}

} // namespace valdrin
