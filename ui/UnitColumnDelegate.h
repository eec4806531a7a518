// Draws the grid's Unit column in the KELVO-A2 symbol face at 12 pixels, so that unit
// symbols show as on the meter; other columns are drawn as usual.
#pragma once

#include <QStyledItemDelegate>

#include "ui/Glyphs.h"

#include <string>
#include <vector>

namespace valdrin {

class UnitColumnDelegate : public QStyledItemDelegate {
public:
    static constexpr int kGlyphHeight = 12;

    explicit UnitColumnDelegate(int unitColumn, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // A unit drawn once in one colour, placed from the whole pixel left of the text's
    // top left. The text's place within that pixel (phase) changes the smoothing, so
    // it is part of the key.
    struct Picture {
        std::string text;
        QRgb colour;
        qreal phase;
        GlyphPicture drawn;
    };
    const Picture& picture(const std::string& text, QRgb colour, qreal phase) const;

    int unitColumn_;
    // The column shows a handful of units, each in the text and the highlight colour.
    static constexpr std::size_t kKeptPictures = 32;
    mutable std::vector<Picture> pictures_;
};

} // namespace valdrin
