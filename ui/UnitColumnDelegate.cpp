#include "ui/UnitColumnDelegate.h"

#include "ui/Glyphs.h"

#include <QApplication>
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

void UnitColumnDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() != unitColumn_) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QByteArray text = cell.text.toLatin1();
    cell.text.clear();  // the background, selection and focus as usual, the text in glyphs
    const QWidget* widget = cell.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    if (text.isEmpty())
        return;

    const std::string_view glyphs(text.constData(), static_cast<std::size_t>(text.size()));
    const QRectF area = QRectF(cell.rect).adjusted(kMargin, 0, -kMargin, 0);
    const qreal width = glyphTextWidth(GlyphFont::KelvoA2, kGlyphHeight, glyphs);
    qreal left = area.left();
    if (cell.displayAlignment & Qt::AlignRight)
        left = area.right() - width;
    else if (cell.displayAlignment & Qt::AlignHCenter)
        left = area.left() + (area.width() - width) / 2;
    const qreal top = area.top() + std::round((area.height() - kGlyphHeight) / 2);

    painter->save();
    painter->setClipRect(cell.rect);
    painter->setRenderHint(QPainter::Antialiasing, true);
    const bool selected = cell.state & QStyle::State_Selected;
    painter->setPen(cell.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    drawGlyphText(*painter, GlyphFont::KelvoA2, QPointF(left, top), kGlyphHeight, glyphs);
    painter->restore();
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
