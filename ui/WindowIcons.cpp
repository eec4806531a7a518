#include "ui/WindowIcons.h"

#include <QPainter>
#include <QPixmap>

namespace valdrin {

namespace {
// Glyphs are drawn on a 16 x 16 grid and scaled to the pixmap.
QPixmap drawnGlyph(ToolGlyph glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(Qt::black, 1));
    switch (glyph) {
    case ToolGlyph::BlankPage:
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
        p.drawPolyline(QPolygon({{10, 1}, {10, 4}, {13, 4}}));
        break;
    case ToolGlyph::OpenFolder:
        p.setBrush(QColor(255, 255, 0));
        p.drawPolygon(QPolygon({{1, 3}, {5, 3}, {6, 5}, {12, 5}, {12, 13}, {1, 13}}));
        p.setBrush(QColor(128, 128, 0));
        p.drawPolygon(QPolygon({{3, 8}, {15, 8}, {12, 13}, {1, 13}}));
        break;
    case ToolGlyph::Floppy:
        p.setBrush(QColor(0, 0, 128));
        p.drawRect(1, 1, 13, 13);
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 7, 5);
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(4, 9, 7, 5);
        break;
    case ToolGlyph::Printer:
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 6);
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(1, 6, 14, 6);
        p.setBrush(Qt::white);
        p.drawRect(4, 10, 8, 5);
        p.fillRect(12, 8, 2, 1, Qt::green);
        break;
    }
    return pixmap;
}

const char* themeName(ToolGlyph glyph)
{
    switch (glyph) {
    case ToolGlyph::BlankPage: return "document-new";
    case ToolGlyph::OpenFolder: return "document-open";
    case ToolGlyph::Floppy: return "document-save";
    case ToolGlyph::Printer: return "document-print";
    }
    return "";
}

QPixmap barChart(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(QColor(192, 192, 192));
    QPainter p(&pixmap);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(128, 128, 128), 1));
    for (int v = 0; v <= 32; v += 8) {
        p.drawLine(v, 0, v, 32);
        p.drawLine(0, v, 32, v);
    }
    const QColor colours[] = {Qt::red, Qt::blue, Qt::magenta, Qt::green};
    const int heights[] = {14, 24, 18, 28};
    p.setPen(Qt::black);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colours[i]);
        p.drawRect(3 + 7 * i, 31 - heights[i], 5, heights[i]);
    }
    return pixmap;
}
} // namespace

QIcon toolIcon(ToolGlyph glyph)
{
    QIcon drawn;
    drawn.addPixmap(drawnGlyph(glyph, 16));
    return QIcon::fromTheme(QString::fromLatin1(themeName(glyph)), drawn);
}

QIcon barChartIcon()
{
    QIcon icon;
    icon.addPixmap(barChart(32));
    icon.addPixmap(barChart(16));
    return icon;
}

} // namespace valdrin
