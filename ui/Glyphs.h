// The two glyph fonts of the meter's display, drawn by us: KELVO-A3, the seven-segment
// digit face, and KELVO-A2, the symbol face (letters as themselves, "+" micro, "*" ohm,
// "%" percent, the double quote HOLD, "!" record, "$" battery, ")" diode,
// "&" continuity, "#" Celsius, "?" Fahrenheit, "(" the LCDBT sign). Used by the LCD
// panel, the grid's Unit column and the printed report.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QPointF>
#include <string_view>

class QPainter;

namespace valdrin {

enum class GlyphFont { KelvoA3, KelvoA2 };

// Outline of one character for a text one unit high (origin at the top left of its
// cell, y downwards); an empty path for a character the font does not draw.
const QPainterPath& glyphPath(GlyphFont font, char c, bool bold = false);
// Advance of one character, in units of the text height.
qreal glyphAdvance(GlyphFont font, char c);
// Whether the font has a drawing for the character (a blank draws nothing but has one).
bool hasGlyph(GlyphFont font, char c);

// The text as one outline, pixelHeight high, with its top left at the origin.
QPainterPath glyphTextPath(GlyphFont font, qreal pixelHeight, std::string_view text, bool bold = false);
qreal glyphTextWidth(GlyphFont font, qreal pixelHeight, std::string_view text);
// Fills the text in the painter's pen colour; an empty text draws nothing.
void drawGlyphText(QPainter& painter, GlyphFont font, QPointF topLeft, qreal pixelHeight, std::string_view text,
                   bool bold = false);

// An outline filled once, smoothed, in one colour on transparency: the views keep
// it and copy it instead of filling the outline at every paint. Drawn at `at`, in
// the outline's own coordinates.
struct GlyphPicture {
    QImage image;
    QPoint at;
};
GlyphPicture glyphPicture(const QPainterPath& outline, const QColor& colour);

} // namespace valdrin
