// The grid DBGrid1's view: the reading table as rows of cells under a title row,
// with a row indicator column and one current row. Rows have one height, so a row's
// place is its number times that height: the view never walks the rows. A plain
// table view keeps a header section per row and recomputes their positions after
// every append, which makes each new reading cost more the longer the table grows.
// Appended rows are painted alone; what is shown already is scrolled (copied), and
// the scroll bar repaints only where its handle moved.
#pragma once

#include <QAbstractScrollArea>
#include <QRect>

#include "ui/CellText.h"

class QAbstractItemDelegate;
class QAbstractItemModel;
class QHeaderView;
class QModelIndex;
class QPainter;
class QStyleOptionViewItem;

namespace valdrin {

class ReadingGridView final : public QAbstractScrollArea {
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kIndicatorWidth = 12;
    static constexpr int kTextMargin = 2;

    explicit ReadingGridView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return model_; }
    // Draws the cells of one column (the Unit column's glyphs); the view draws the
    // texts of the others.
    void setColumnDelegate(int column, QAbstractItemDelegate* delegate)
    {
        glyphColumn_ = column;
        delegate_ = delegate;
    }
    QHeaderView* horizontalHeader() const { return header_; }
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;

    // -1 when the table is empty.
    int currentRow() const { return current_; }
    // Makes row the current row and scrolls it into view.
    void setCurrentRow(int row);
    int firstVisibleRow() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Indicator;
    class RowScrollBar;
    void layoutParts();
    void rowsAppended(int first);
    void reset();
    void updateRow(int row);
    int rowCount() const;
    int rowTop(int row) const;
    void paintText(QPainter& p, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    QAbstractItemModel* model_ = nullptr;
    QAbstractItemDelegate* delegate_ = nullptr;
    int glyphColumn_ = -1;
    QHeaderView* header_ = nullptr;
    Indicator* indicator_ = nullptr;
    int current_ = -1;
    QRect laidOut_; // the viewport's place when the parts were laid out
    mutable CellText cellText_;
};

} // namespace valdrin
