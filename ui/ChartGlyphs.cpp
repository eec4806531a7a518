#include "ui/ChartGlyphs.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace valdrin {
namespace {

const char* themeName(ChartGlyph glyph)
{
    switch (glyph) {
    case ChartGlyph::New: return "document-new";
    case ChartGlyph::Save: return "document-save";
    case ChartGlyph::First: return "go-first";
    case ChartGlyph::Previous: return "go-previous";
    case ChartGlyph::Next: return "go-next";
    case ChartGlyph::Last: return "go-last";
    case ChartGlyph::Enlarge: return "zoom-in";
    case ChartGlyph::Restore: return "zoom-out";
    }
    return "";
}

// A triangle pointing left (or right) with its tip at x, 16-pixel glyph.
void triangle(QPainter& p, int x, bool left)
{
    const int d = left ? 6 : -6;
    p.drawPolygon(QPolygon({QPoint(x, 8), QPoint(x + d, 3), QPoint(x + d, 13)}));
}

QPixmap drawn(ChartGlyph glyph)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(QColor(0, 0, 128));
    switch (glyph) {
    case ChartGlyph::New: // a blank page with a folded corner
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
        p.drawLine(10, 1, 10, 4);
        p.drawLine(10, 4, 13, 4);
        break;
    case ChartGlyph::Save: // a floppy disk
        p.setBrush(QColor(0, 0, 128));
        p.drawRect(1, 1, 13, 13);
        p.fillRect(4, 2, 8, 5, Qt::white);
        p.fillRect(5, 10, 6, 4, QColor(192, 192, 192));
        break;
    case ChartGlyph::First:
        p.drawRect(3, 3, 1, 10);
        triangle(p, 5, true);
        break;
    case ChartGlyph::Previous:
        triangle(p, 4, true);
        break;
    case ChartGlyph::Next:
        triangle(p, 11, false);
        break;
    case ChartGlyph::Last:
        triangle(p, 10, false);
        p.drawRect(11, 3, 1, 10);
        break;
    case ChartGlyph::Enlarge:
    case ChartGlyph::Restore: // a magnifier with a plus or a minus
        p.setBrush(Qt::white);
        p.drawEllipse(1, 1, 10, 10);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(10, 10, 14, 14);
        p.setPen(Qt::black);
        p.drawLine(4, 6, 8, 6);
        if (glyph == ChartGlyph::Enlarge)
            p.drawLine(6, 4, 6, 8);
        break;
    }
    return pixmap;
}

} // namespace

QIcon chartGlyph(ChartGlyph glyph)
{
    const QString name = QString::fromLatin1(themeName(glyph));
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    return QIcon(drawn(glyph));
}

} // namespace valdrin
