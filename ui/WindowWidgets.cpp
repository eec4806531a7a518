#include "ui/WindowWidgets.h"

#include <QPalette>

namespace valdrin {

QFont pixelFont(FontSpec spec)
{
    QFont font(spec.face == Face::Arial ? QStringLiteral("Liberation Sans") : QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(spec.pixels);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    return font;
}

void paintColours(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background);
    if (text.isValid()) {
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::ButtonText, text);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace valdrin
