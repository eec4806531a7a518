// Draws the grid's Unit column in the KELVO-A2 symbol face at 12 pixels, so that unit
// symbols show as on the meter; other columns are drawn as usual.
#pragma once

#include <QStyledItemDelegate>

namespace valdrin {

class UnitColumnDelegate : public QStyledItemDelegate {
public:
    static constexpr int kGlyphHeight = 12;

    explicit UnitColumnDelegate(int unitColumn, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int unitColumn_;
};

} // namespace valdrin
