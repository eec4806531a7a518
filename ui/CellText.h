// Short single-line Latin-1 texts painted from glyphs looked up once per font: the
// grid's cell texts and the LCD panel's Arial labels. QPainter::drawText lays out and
// shapes every text anew on every paint, which was most of what the grid's paint
// cost. Here each font keeps the glyph of every Latin-1 character, and a text goes
// to the painter as one glyph run, placed, kerned and clipped as drawText places it.
// What the glyph table cannot stand for (other characters, a glyph the font lacks,
// spacing or capitals set on the font, a turned or scaled painter) is drawn by
// drawText as before.
#pragma once

#include <QFont>
#include <QRawFont>

#include <array>
#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;
class QRect;
class QString;

namespace valdrin {

class CellText {
public:
    // Paints text as painter.drawText(rect, flags, text) with font does, in the
    // painter's pen: flags hold the alignment; the text is cut at rect's edges where
    // it overflows. The painter's font may be changed.
    void draw(QPainter& painter, const QRect& rect, int flags, const QString& text, const QFont& font);

    // Longest text drawn from the glyph table; longer ones go to drawText.
    static constexpr int kMaxGlyphs = 64;

private:
    // The glyphs of one font at one resolution. A glyph index 0 marks a character
    // that drawText must draw (a control character, or one the font lacks).
    struct Face {
        QFont font;
        int dpi = 0;
        bool usable = false;
        QRawFont raw;
        qreal ascent = 0;
        qreal descent = 0;
        int advanceFlags = 0;  // QRawFont::LayoutFlags: kerned unless the font turns kerning off
        std::array<quint32, 256> glyphs{};
    };
    const Face& face(const QFont& font, const QPaintDevice& device);

    // A grid paints in one or two fonts; more than a few means fonts come and go.
    static constexpr std::size_t kKeptFaces = 4;
    std::vector<std::unique_ptr<Face>> faces_;
};

} // namespace valdrin
