#include "ui/Glyphs.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <array>
#include <cstdlib>

namespace valdrin {

namespace {

// KELVO-A2 is a stroke face on a grid of tenths of the text height: capitals from
// y 2 to the baseline at 8, small letters from 4, descenders to 10. Each glyph is a
// list of polylines "x,y x,y ...;x,y ..." and its width in grid units.
struct StrokeGlyph {
    char c;
    float width;
    const char* strokes;
};

constexpr float kGrid = 0.1f;
constexpr float kSpacing = 1.4f;  // between glyphs, in grid units
constexpr qreal kStroke = 0.085, kBoldStroke = 0.125;

constexpr StrokeGlyph kSymbolFace[] = {
    // Capitals.
    {'A', 4, "0,8 0,3 1,2 3,2 4,3 4,8;0,5.5 4,5.5"},
    {'B', 4, "0,8 0,2 3,2 4,3 4,4 3,5 0,5;3,5 4,6 4,7 3,8 0,8"},
    {'C', 4, "4,3 3,2 1,2 0,3 0,7 1,8 3,8 4,7"},
    {'D', 4, "0,2 0,8 3,8 4,7 4,3 3,2 0,2"},
    {'E', 4, "4,2 0,2 0,8 4,8;0,5 3,5"},
    {'F', 4, "4,2 0,2 0,8;0,5 3,5"},
    {'G', 4, "4,3 3,2 1,2 0,3 0,7 1,8 3,8 4,7 4,5.5 2,5.5"},
    {'H', 4, "0,2 0,8;4,2 4,8;0,5 4,5"},
    {'I', 2, "0,2 2,2;1,2 1,8;0,8 2,8"},
    {'J', 4, "4,2 4,7 3,8 1,8 0,7"},
    {'K', 4, "0,2 0,8;4,2 0,5.5;1.3,4.6 4,8"},
    {'L', 4, "0,2 0,8 4,8"},
    {'M', 5, "0,8 0,2 2.5,5.5 5,2 5,8"},
    {'N', 4, "0,8 0,2 4,8 4,2"},
    {'O', 4, "1,2 3,2 4,3 4,7 3,8 1,8 0,7 0,3 1,2"},
    {'P', 4, "0,8 0,2 3,2 4,3 4,4 3,5 0,5"},
    {'Q', 4, "1,2 3,2 4,3 4,7 3,8 1,8 0,7 0,3 1,2;2.5,6.5 4,8.5"},
    {'R', 4, "0,8 0,2 3,2 4,3 4,4 3,5 0,5;2,5 4,8"},
    {'S', 4, "4,3 3,2 1,2 0,3 0,4 1,5 3,5 4,6 4,7 3,8 1,8 0,7"},
    {'T', 4, "0,2 4,2;2,2 2,8"},
    {'U', 4, "0,2 0,7 1,8 3,8 4,7 4,2"},
    {'V', 4, "0,2 2,8 4,2"},
    {'W', 5, "0,2 1.2,8 2.5,4 3.8,8 5,2"},
    {'X', 4, "0,2 4,8;4,2 0,8"},
    {'Y', 4, "0,2 2,5 4,2;2,5 2,8"},
    {'Z', 4, "0,2 4,2 0,8 4,8"},
    // Small letters.
    {'a', 3, "0.3,4 2.3,4 3,4.7 3,8;3,6 0.8,6 0,6.8 0.8,8 3,8"},
    {'b', 3, "0,2 0,8 2.2,8 3,7.2 3,4.8 2.2,4 0,4"},
    {'c', 3, "3,4 0.8,4 0,4.8 0,7.2 0.8,8 3,8"},
    {'d', 3, "3,2 3,8 0.8,8 0,7.2 0,4.8 0.8,4 3,4"},
    {'e', 3, "0,6 3,6 3,4.8 2.2,4 0.8,4 0,4.8 0,7.2 0.8,8 3,8"},
    {'f', 3, "3,2.3 2,2 1.2,2.8 1.2,8;0,4 2.6,4"},
    {'g', 3, "3,4 3,9.2 2.2,10 0.3,10;3,4 0.8,4 0,4.8 0,7.2 0.8,8 3,8"},
    {'h', 3, "0,2 0,8;0,4.8 0.8,4 2.2,4 3,4.8 3,8"},
    {'i', 1, "0.5,4 0.5,8;0.5,2.4 0.5,2.6"},
    {'j', 2, "1.5,4 1.5,9.2 0.7,10 0,10;1.5,2.4 1.5,2.6"},
    {'k', 3, "0,2 0,8;3,4 0,6.2;1,5.5 3,8"},
    {'l', 1, "0.5,2 0.5,8"},
    {'m', 5, "0,8 0,4;0,4.8 0.7,4 1.8,4 2.5,4.8 2.5,8;2.5,4.8 3.2,4 4.3,4 5,4.8 5,8"},
    {'n', 3, "0,8 0,4;0,4.8 0.8,4 2.2,4 3,4.8 3,8"},
    {'o', 3, "0.8,4 2.2,4 3,4.8 3,7.2 2.2,8 0.8,8 0,7.2 0,4.8 0.8,4"},
    {'p', 3, "0,4 0,10;0,4 2.2,4 3,4.8 3,7.2 2.2,8 0,8"},
    {'q', 3, "3,4 3,10;3,4 0.8,4 0,4.8 0,7.2 0.8,8 3,8"},
    {'r', 3, "0,8 0,4;0,5 1,4 3,4"},
    {'s', 3, "3,4 0.8,4 0,4.8 0.8,6 2.2,6 3,7.2 2.2,8 0,8"},
    {'t', 3, "1.2,2.4 1.2,7.2 2,8 3,8;0,4 2.8,4"},
    {'u', 3, "0,4 0,7.2 0.8,8 2.2,8 3,7.2;3,4 3,8"},
    {'v', 3, "0,4 1.5,8 3,4"},
    {'w', 5, "0,4 1.2,8 2.5,5 3.8,8 5,4"},
    {'x', 3, "0,4 3,8;3,4 0,8"},
    {'y', 3, "0,4 1.5,8;3,4 1,10 0,10"},
    {'z', 3, "0,4 3,4 0,8 3,8"},
    // Digits and the few marks unit and range texts hold.
    {'0', 4, "1,2 3,2 4,3 4,7 3,8 1,8 0,7 0,3 1,2"},
    {'1', 3, "0,3 1.5,2 1.5,8;0,8 3,8"},
    {'2', 4, "0,3 1,2 3,2 4,3 4,4 0,8 4,8"},
    {'3', 4, "0,3 1,2 3,2 4,3 4,4 3,5 1.5,5;3,5 4,6 4,7 3,8 1,8 0,7"},
    {'4', 4, "3,8 3,2 0,6 4,6"},
    {'5', 4, "4,2 0,2 0,5 3,5 4,6 4,7 3,8 0,8"},
    {'6', 4, "4,3 3,2 1,2 0,3 0,7 1,8 3,8 4,7 4,6 3,5 0,5"},
    {'7', 4, "0,2 4,2 1.5,8"},
    {'8', 4, "1,2 3,2 4,3 4,4 3,5 1,5 0,4 0,3 1,2;1,5 0,6 0,7 1,8 3,8 4,7 4,6 3,5"},
    {'9', 4, "4,5 1,5 0,4 0,3 1,2 3,2 4,3 4,7 3,8 1,8 0,7"},
    {'.', 1, "0.5,7.8 0.5,8"},
    {',', 1, "0.6,7.8 0.6,8.3 0,9.2"},
    {'-', 3, "0,5.5 3,5.5"},
    {':', 1, "0.5,4.4 0.5,4.6;0.5,7.8 0.5,8"},
    {'/', 3, "0,8.5 3,1.5"},
    {'=', 3, "0,4.8 3,4.8;0,6.6 3,6.6"},
    {'\'', 1, "0.5,2 0.5,3.5"},
    {'_', 4, "0,9 4,9"},
    // The meter's symbols.
    {'+', 3, "0,4 0,10;0,7.2 0.8,8 2.2,8 3,7.2;3,4 3,8"},                                   // micro
    {'*', 5, "0,8 1.6,8 1.6,7 0.5,5.8 0.5,3.6 1.6,2.4 3.4,2.4 4.5,3.6 4.5,5.8 3.4,7 3.4,8 5,8"}, // ohm
    {'%', 5, "0,8 5,2;0.3,2.3 1.5,2.3 1.5,3.5 0.3,3.5 0.3,2.3;3.5,6.5 4.7,6.5 4.7,7.7 3.5,7.7 3.5,6.5"},
    {'"', 6, "0,2 6,2 6,8 0,8 0,2;1.6,3.4 1.6,6.6;4.4,3.4 4.4,6.6;1.6,5 4.4,5"},                // HOLD
    {'!', 5, "1.5,2.5 3.5,2.5 5,4 5,6 3.5,7.5 1.5,7.5 0,6 0,4 1.5,2.5;2,4.5 3,4.5 3,5.5 2,5.5 2,4.5"}, // record
    {'$', 6, "0,3.5 5,3.5 5,7.5 0,7.5 0,3.5;5,4.6 6,4.6 6,6.4 5,6.4;1,4.5 1,6.5;2.2,4.5 2.2,6.5"}, // battery
    {')', 6, "0,5 6,5;1.5,2.5 1.5,7.5 4.5,5 1.5,2.5;4.5,2.5 4.5,7.5"},                          // diode
    {'&', 6, "0,4 1.5,4 3,2.5 3,7.5 1.5,6 0,6 0,4;4,4 4.6,5 4,6;5,3 6,5 5,7"},                  // continuity
    {'#', 5, "0.2,2 1.2,2 1.2,3 0.2,3 0.2,2;5,3 4,2 3,2 2,3 2,7 3,8 4,8 5,7"},                    // Celsius
    {'?', 5, "0.2,2 1.2,2 1.2,3 0.2,3 0.2,2;5,2 2,2 2,8;2,5 4.2,5"},                              // Fahrenheit
    {'(', 4, "0,3.5 3,6.5 1.5,8 1.5,2 3,3.5 0,6.5"},                                              // LCDBT
    {' ', 2.5f, ""},
};

QPainterPath strokeOutline(const char* strokes, qreal width)
{
    QPainterPath lines;
    bool newLine = true;
    for (const char* p = strokes; *p;) {
        if (*p == ';') {
            newLine = true;
            ++p;
            continue;
        }
        if (*p == ' ') {
            ++p;
            continue;
        }
        char* end = nullptr;
        const double x = std::strtod(p, &end);
        const double y = std::strtod(end + 1, &end);  // skips the comma
        p = end;
        const QPointF point(x * kGrid, y * kGrid);
        if (newLine)
            lines.moveTo(point);
        else
            lines.lineTo(point);
        newLine = false;
    }
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath outline = stroker.createStroke(lines);
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

// KELVO-A3: seven segments in a cell 0.38 of the height wide, as the LCD's digit
// labels are 38 wide at a height of 100.
constexpr qreal kDigitAdvance = 0.38;
constexpr qreal kLeft = 0.06, kRight = 0.32, kTop = 0.18, kMiddle = 0.55, kBottom = 0.92, kGap = 0.012;

enum Segment : uint8_t { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };

uint8_t segmentsOf(char c)
{
    switch (c) {
    case '0': return A | B | C | D | E | F;
    case '1': return B | C;
    case '2': return A | B | G | E | D;
    case '3': return A | B | G | C | D;
    case '4': return F | G | B | C;
    case '5': return A | F | G | C | D;
    case '6': return A | F | G | E | D | C;
    case '7': return A | B | C;
    case '8': return A | B | C | D | E | F | G;
    case '9': return A | B | C | D | F | G;
    case '-': return G;
    case '@': return F | E | D;  // the L of the overload display 0L
    case 'A': return A | B | C | E | F | G;
    case 'B': return C | D | E | F | G;  // b
    case 'C': return A | D | E | F;
    case 'D': return B | C | D | E | G;  // d
    case 'E': return A | D | E | F | G;
    case 'F': return A | E | F | G;
    default: return 0;
    }
}

QPainterPath segmentBar(QPointF from, QPointF to, qreal thickness)
{
    const bool horizontal = from.y() == to.y();
    const qreal h = thickness / 2;
    QPolygonF bar;
    if (horizontal) {
        const qreal x0 = from.x() + kGap, x1 = to.x() - kGap, y = from.y();
        bar << QPointF(x0, y) << QPointF(x0 + h, y - h) << QPointF(x1 - h, y - h) << QPointF(x1, y)
            << QPointF(x1 - h, y + h) << QPointF(x0 + h, y + h);
    } else {
        const qreal y0 = from.y() + kGap, y1 = to.y() - kGap, x = from.x();
        bar << QPointF(x, y0) << QPointF(x + h, y0 + h) << QPointF(x + h, y1 - h) << QPointF(x, y1)
            << QPointF(x - h, y1 - h) << QPointF(x - h, y0 + h);
    }
    QPainterPath path;
    path.addPolygon(bar);
    path.closeSubpath();
    return path;
}

QPainterPath digitOutline(char c, bool bold)
{
    const uint8_t on = segmentsOf(c);
    const qreal t = bold ? 0.085 : 0.065;
    const QPointF lt(kLeft, kTop), rt(kRight, kTop), lm(kLeft, kMiddle), rm(kRight, kMiddle), lb(kLeft, kBottom),
        rb(kRight, kBottom);
    const std::pair<Segment, std::pair<QPointF, QPointF>> bars[] = {
        {A, {lt, rt}}, {B, {rt, rm}}, {C, {rm, rb}}, {D, {lb, rb}}, {E, {lm, lb}}, {F, {lt, lm}}, {G, {lm, rm}}};
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const auto& [segment, ends] : bars)
        if (on & segment)
            path.addPath(segmentBar(ends.first, ends.second, t));
    return path;
}

const StrokeGlyph* symbolGlyph(char c)
{
    for (const StrokeGlyph& g : kSymbolFace)
        if (g.c == c)
            return &g;
    return nullptr;
}

struct Face {
    std::array<QPainterPath, 256> outlines;
};

const Face& face(GlyphFont font, bool bold)
{
    auto build = [](GlyphFont f, bool heavy) {
        Face built;
        for (int code = 0; code < 256; ++code) {
            const char c = static_cast<char>(code);
            if (f == GlyphFont::KelvoA3) {
                built.outlines[static_cast<std::size_t>(code)] = digitOutline(c, heavy);
            } else if (const StrokeGlyph* g = symbolGlyph(c)) {
                built.outlines[static_cast<std::size_t>(code)] = strokeOutline(g->strokes, heavy ? kBoldStroke : kStroke);
            }
        }
        return built;
    };
    // Built once on first use and never changed after.
    static const Face faces[4] = {build(GlyphFont::KelvoA3, false), build(GlyphFont::KelvoA3, true),
                                  build(GlyphFont::KelvoA2, false), build(GlyphFont::KelvoA2, true)};
    return faces[(font == GlyphFont::KelvoA2 ? 2 : 0) + (bold ? 1 : 0)];
}

} // namespace

const QPainterPath& glyphPath(GlyphFont font, char c, bool bold)
{
    return face(font, bold).outlines[static_cast<unsigned char>(c)];
}

bool hasGlyph(GlyphFont font, char c)
{
    if (font == GlyphFont::KelvoA3)
        return c == ' ' || segmentsOf(c) != 0;
    return symbolGlyph(c) != nullptr;
}

qreal glyphAdvance(GlyphFont font, char c)
{
    if (font == GlyphFont::KelvoA3)
        return kDigitAdvance;
    const StrokeGlyph* g = symbolGlyph(c);
    return (g ? g->width : 3.0f) * kGrid + kSpacing * kGrid;  // an unknown character keeps a blank's room
}

qreal glyphTextWidth(GlyphFont font, qreal pixelHeight, std::string_view text)
{
    qreal width = 0;
    for (const char c : text)
        width += glyphAdvance(font, c);
    return width * pixelHeight;
}

QPainterPath glyphTextPath(GlyphFont font, qreal pixelHeight, std::string_view text, bool bold)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    // The strokes are centred on the grid, so the first glyph is moved in by half a stroke.
    qreal x = font == GlyphFont::KelvoA2 ? kBoldStroke / 2 : 0;
    for (const char c : text) {
        const QPainterPath& glyph = glyphPath(font, c, bold);
        if (!glyph.isEmpty())
            path.addPath(glyph.translated(x, 0));
        x += glyphAdvance(font, c);
    }
    QTransform scale;
    scale.scale(pixelHeight, pixelHeight);
    return scale.map(path);
}

void drawGlyphText(QPainter& painter, GlyphFont font, QPointF topLeft, qreal pixelHeight, std::string_view text,
                   bool bold)
{
    if (text.empty())
        return;
    const QPainterPath path = glyphTextPath(font, pixelHeight, text, bold).translated(topLeft);
    painter.fillPath(path, painter.pen().color());
}

GlyphPicture glyphPicture(const QPainterPath& outline, const QColor& colour)
{
    // A pixel around the outline for the smoothed edges.
    const QRect bounds = outline.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    GlyphPicture made{QImage(bounds.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied),
                      bounds.topLeft()};
    made.image.fill(Qt::transparent);
    QPainter painter(&made.image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(-bounds.topLeft());
    painter.fillPath(outline, colour);
    return made;
}

} // namespace valdrin
