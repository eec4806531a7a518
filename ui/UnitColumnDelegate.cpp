#include "ui/UnitColumnDelegate.h"

#include "ui/Glyphs.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace valdrin {

namespace {

constexpr int kMargin = 2;  // between the cell's edge and its text

} // namespace

UnitColumnDelegate::UnitColumnDelegate(int unitColumn, QObject* parent)
    : QStyledItemDelegate(parent), unitColumn_(unitColumn)
{
}

const UnitColumnDelegate::Picture& UnitColumnDelegate::picture(const std::string& text, QRgb colour,
                                                               qreal phase) const
{
    for (const Picture& kept : pictures_)
        if (kept.colour == colour && kept.phase == phase && kept.text == text)
            return kept;
    if (pictures_.size() >= kKeptPictures)
        pictures_.clear();
    pictures_.push_back({text, colour, phase,
                         glyphPicture(glyphTextPath(GlyphFont::KelvoA2, kGlyphHeight, text).translated(phase, 0),
                                      QColor::fromRgba(colour))});
    return pictures_.back();
}

void UnitColumnDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() != unitColumn_) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell's background as the grid paints its text cells, the text in glyphs:
    // the item style's layout of decorations and text would find nothing to place.
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(option.rect, option.palette.color(QPalette::Highlight));
    const QString shown = index.data(Qt::DisplayRole).toString();
    if (shown.isEmpty())
        return;
    const QByteArray latin1 = shown.toLatin1();
    const std::string text(latin1.constData(), static_cast<std::size_t>(latin1.size()));

    const QVariant align = index.data(Qt::TextAlignmentRole);
    const int alignment = align.isValid() ? align.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter);
    const QRectF area = QRectF(option.rect).adjusted(kMargin, 0, -kMargin, 0);
    const qreal width = glyphTextWidth(GlyphFont::KelvoA2, kGlyphHeight, text);
    qreal left = area.left();
    if (alignment & Qt::AlignRight)
        left = area.right() - width;
    else if (alignment & Qt::AlignHCenter)
        left = area.left() + (area.width() - width) / 2;
    const int top = static_cast<int>(area.top() + std::round((area.height() - kGlyphHeight) / 2));
    const qreal whole = std::floor(left);

    const QColor colour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const Picture& shownPicture = picture(text, colour.rgba(), left - whole);
    // Cut to the cell, as a text too wide for it is.
    const QPoint at = QPoint(static_cast<int>(whole), top) + shownPicture.drawn.at;
    const QRect visible = QRect(at, shownPicture.drawn.image.size()) & option.rect;
    if (!visible.isEmpty())
        painter->drawImage(visible.topLeft(), shownPicture.drawn.image, visible.translated(-at));
}

QSize UnitColumnDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.column() == unitColumn_) {
        const QByteArray text = index.data(Qt::DisplayRole).toString().toLatin1();
        const qreal width = glyphTextWidth(GlyphFont::KelvoA2, kGlyphHeight,
                                           std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        size.setWidth(static_cast<int>(std::ceil(width)) + 2 * kMargin);
        size.setHeight(std::max(size.height(), kGlyphHeight + 2 * kMargin));
    }
    return size;
}

} // namespace valdrin
