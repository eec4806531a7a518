#include "ui/CellText.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QString>

namespace valdrin {

namespace {

// Alignment and the two text flags that a single line drawn from the glyph table
// honours; anything else (mnemonics, tabs, wrapping) is drawText's.
constexpr int kHandledFlags =
    Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask | Qt::TextSingleLine | Qt::TextDontClip;

// Characters whose drawing depends on the text around them: line breaks, tabs and
// other controls, and the soft hyphen, which shows only at a break.
bool drawnAlone(char16_t c) { return c >= 0x20 && !(c >= 0x7f && c <= 0x9f) && c != 0xad; }

void drawByLayout(QPainter& painter, const QRect& rect, int flags, const QString& text, const QFont& font)
{
    painter.setFont(font);
    painter.drawText(rect, flags, text);
}

} // namespace

const CellText::Face& CellText::face(const QFont& font, const QPaintDevice& device)
{
    const int dpi = device.logicalDpiY();
    for (const auto& kept : faces_)
        if (kept->dpi == dpi && kept->font == font)
            return *kept;
    if (faces_.size() >= kKeptFaces)
        faces_.clear();
    auto made = std::make_unique<Face>();
    made->font = font;
    made->dpi = dpi;
    // Spacing, capitals and lines through the text are applied by the layout.
    made->usable = font.letterSpacing() == 0 && font.wordSpacing() == 0 &&
                   font.capitalization() == QFont::MixedCase && !font.underline() && !font.overline() &&
                   !font.strikeOut();
    if (made->usable) {
        // The font the layout would use: at the painter's resolution, the first face
        // of the family; a character that face lacks is left to the layout, which
        // falls back to another face.
        made->raw = QRawFont::fromFont(QFont(font, &device));
        made->usable = made->raw.isValid();
    }
    if (made->usable) {
        std::array<QChar, 256> chars;
        for (std::size_t c = 0; c < chars.size(); ++c)
            chars[c] = QChar(static_cast<char16_t>(c));
        int found = static_cast<int>(made->glyphs.size());
        if (!made->raw.glyphIndexesForChars(chars.data(), static_cast<int>(chars.size()), made->glyphs.data(), &found) ||
            found != static_cast<int>(chars.size()))
            made->glyphs.fill(0);
        for (std::size_t c = 0; c < chars.size(); ++c)
            if (!drawnAlone(static_cast<char16_t>(c)))
                made->glyphs[c] = 0;
        made->ascent = made->raw.ascent();
        made->descent = made->raw.descent();
        made->advanceFlags = font.kerning() ? QRawFont::KernedAdvances : QRawFont::SeparateAdvances;
    }
    faces_.push_back(std::move(made));
    return *faces_.back();
}

void CellText::draw(QPainter& painter, const QRect& rect, int flags, const QString& text, const QFont& font)
{
    const qsizetype count = text.size();
    if (count == 0)
        return;
    if (count > kMaxGlyphs || (flags & ~kHandledFlags) || painter.layoutDirection() == Qt::RightToLeft ||
        painter.worldTransform().type() > QTransform::TxTranslate || !painter.device()) {
        drawByLayout(painter, rect, flags, text, font);
        return;
    }
    const Face& f = face(font, *painter.device());
    if (!f.usable) {
        drawByLayout(painter, rect, flags, text, font);
        return;
    }
    std::array<quint32, kMaxGlyphs> glyphs;
    std::array<QPointF, kMaxGlyphs> positions;
    const QChar* chars = text.constData();
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = chars[i].unicode();
        const quint32 glyph = c < f.glyphs.size() ? f.glyphs[c] : 0;
        if (glyph == 0) {
            drawByLayout(painter, rect, flags, text, font);
            return;
        }
        glyphs[static_cast<std::size_t>(i)] = glyph;
    }
    const int n = static_cast<int>(count);
    // Advances with the font's kerning pairs, as the shaper spaces these characters.
    f.raw.advancesForGlyphIndexes(glyphs.data(), positions.data(), n, QRawFont::LayoutFlags(f.advanceFlags));
    qreal width = 0;
    for (int i = 0; i < n; ++i) {
        const qreal advance = positions[static_cast<std::size_t>(i)].x();
        positions[static_cast<std::size_t>(i)] = QPointF(width, 0);
        width += advance;
    }

    // Placed as drawText places one line: the line box (ascent plus descent) aligned
    // in the rectangle, the glyphs on its baseline.
    const qreal height = f.ascent + f.descent;
    qreal x = rect.x();
    qreal y = rect.y();
    if (flags & Qt::AlignRight)
        x += rect.width() - width;
    else if (flags & Qt::AlignHCenter)
        x += (rect.width() - width) / 2;
    if (flags & Qt::AlignBottom)
        y += rect.height() - height;
    else if (flags & Qt::AlignVCenter)
        y += (rect.height() - height) / 2;

    QGlyphRun run;
    run.setRawFont(f.raw);
    run.setRawData(glyphs.data(), positions.data(), n);
    const bool clip = !(flags & Qt::TextDontClip) && !QRectF(rect).contains(QRectF(x, y, width, height));
    if (clip) {
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
    }
    painter.drawGlyphRun(QPointF(x, y + f.ascent), run);
    if (clip)
        painter.restore();
}

} // namespace valdrin
