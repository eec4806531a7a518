#include "ui/WindowGridView.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace valdrin {

// The row indicator column left of the cells: an arrow at the current row.
class ReadingGridView::Indicator final : public QWidget {
public:
    explicit Indicator(ReadingGridView& grid) : QWidget(&grid), grid_(grid)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        const QRect dirty = event->rect();
        p.fillRect(dirty, palette().color(QPalette::Button));
        const int top = grid_.verticalScrollBar()->value();
        const int rows = grid_.rowCount();
        const int first = (top + dirty.top()) / kRowHeight;
        const int last = std::min(rows - 1, (top + dirty.bottom()) / kRowHeight);
        p.setPen(palette().color(QPalette::Mid));
        for (int row = first; row <= last; ++row) {
            const int y = row * kRowHeight - top;
            p.drawLine(0, y + kRowHeight - 1, width() - 1, y + kRowHeight - 1);
            if (row == grid_.current_) {
                p.setBrush(palette().color(QPalette::WindowText));
                const int mid = y + kRowHeight / 2;
                p.drawPolygon(QPolygon({{3, mid - 4}, {7, mid}, {3, mid + 4}}));
                p.setBrush(Qt::NoBrush);
            }
        }
        p.drawLine(width() - 1, dirty.top(), width() - 1, dirty.bottom());
    }

private:
    ReadingGridView& grid_;
};

// The scroll bar moves with every new row. A slider repaints all of itself on every
// change of value or range: the groove, a dithered pattern as tall as the grid, at
// every reading. Here only the handle's old and new places and the two arrows
// (which grey out at the ends) are repainted; the groove between stays as it is.
class ReadingGridView::RowScrollBar final : public QScrollBar {
public:
    explicit RowScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

protected:
    void sliderChange(SliderChange change) override
    {
        const QRect handle = part(QStyle::SC_ScrollBarSlider);
        if (change == SliderValueChange || change == SliderRangeChange) {
            if (handle.isValid() && shownHandle_.isValid()) {
                QRegion dirty(shownHandle_);
                dirty += handle;
                dirty += part(QStyle::SC_ScrollBarSubLine);
                dirty += part(QStyle::SC_ScrollBarAddLine);
                shownHandle_ = handle;
                update(dirty);
                return;
            }
        }
        shownHandle_ = handle;
        QScrollBar::sliderChange(change);
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QScrollBar::resizeEvent(event);
        shownHandle_ = part(QStyle::SC_ScrollBarSlider);
    }

    void changeEvent(QEvent* event) override
    {
        QScrollBar::changeEvent(event);
        if (event->type() == QEvent::StyleChange) // a new style lays the parts out anew
            shownHandle_ = part(QStyle::SC_ScrollBarSlider);
    }

private:
    QRect part(QStyle::SubControl control) const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, control, this);
    }

    QRect shownHandle_;
};

ReadingGridView::ReadingGridView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setVerticalScrollBar(new RowScrollBar(this));
    header_ = new QHeaderView(Qt::Horizontal, this);
    header_->setSectionResizeMode(QHeaderView::Interactive);
    header_->setSectionsClickable(false);
    header_->setHighlightSections(false);
    indicator_ = new Indicator(*this);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(kRowHeight);
    QObject::connect(header_, &QHeaderView::sectionResized, this, [this] {
        layoutParts();
        viewport()->update();
    });
}

void ReadingGridView::setModel(QAbstractItemModel* model)
{
    model_ = model;
    header_->setModel(model);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        if (!parent.isValid() && last == rowCount() - 1)
            rowsAppended(first);
        else
            reset();
    });
    QObject::connect(model, &QAbstractItemModel::modelReset, this, [this] { reset(); });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { reset(); });
    QObject::connect(model, &QAbstractItemModel::layoutChanged, this, [this] { reset(); });
    QObject::connect(model, &QAbstractItemModel::dataChanged, viewport(), [this] { viewport()->update(); });
    reset();
}

void ReadingGridView::setColumnWidth(int column, int width)
{
    header_->resizeSection(column, width);
}

int ReadingGridView::columnWidth(int column) const { return header_->sectionSize(column); }

int ReadingGridView::rowCount() const { return model_ ? model_->rowCount() : 0; }

int ReadingGridView::rowTop(int row) const { return row * kRowHeight - verticalScrollBar()->value(); }

int ReadingGridView::firstVisibleRow() const { return verticalScrollBar()->value() / kRowHeight; }

void ReadingGridView::layoutParts()
{
    const int titleHeight = header_->sizeHint().height();
    setViewportMargins(kIndicatorWidth, titleHeight, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - titleHeight, area.width(), titleHeight);
    indicator_->setGeometry(area.left() - kIndicatorWidth, area.top(), kIndicatorWidth, area.height());
    QScrollBar* rows = verticalScrollBar();
    rows->setPageStep(area.height());
    rows->setRange(0, std::max(0, rowCount() * kRowHeight - area.height()));
    QScrollBar* columns = horizontalScrollBar();
    columns->setPageStep(area.width());
    columns->setRange(0, std::max(0, header_->length() - area.width()));
    laidOut_ = viewport()->geometry();
}

void ReadingGridView::rowsAppended(int first)
{
    // New rows only lengthen the scroll range; the parts move only when that shows
    // or hides the scroll bar (the title row's height is worked out from the
    // model's titles, too dear for every reading).
    verticalScrollBar()->setRange(0, std::max(0, rowCount() * kRowHeight - viewport()->height()));
    if (viewport()->geometry() != laidOut_)
        layoutParts();
    const int top = rowTop(first);
    if (top < viewport()->height()) {
        viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
        indicator_->update(0, top, kIndicatorWidth, viewport()->height() - top);
    }
}

void ReadingGridView::reset()
{
    if (current_ >= rowCount())
        current_ = -1;
    layoutParts();
    viewport()->update();
    indicator_->update();
}

void ReadingGridView::updateRow(int row)
{
    if (row < 0)
        return;
    const int top = rowTop(row);
    viewport()->update(0, top, viewport()->width(), kRowHeight);
    indicator_->update(0, top, kIndicatorWidth, kRowHeight);
}

void ReadingGridView::setCurrentRow(int row)
{
    if (row >= rowCount())
        row = rowCount() - 1;
    if (row != current_) {
        updateRow(current_);
        current_ = row;
        updateRow(current_);
    }
    if (row < 0)
        return;
    QScrollBar* rows = verticalScrollBar();
    const int top = row * kRowHeight;
    if (top < rows->value())
        rows->setValue(top);
    else if (top + kRowHeight > rows->value() + viewport()->height())
        rows->setValue(top + kRowHeight - viewport()->height());
}

void ReadingGridView::scrollContentsBy(int dx, int dy)
{
    header_->setOffset(horizontalScrollBar()->value());
    viewport()->scroll(dx, dy);
    if (dy != 0)
        indicator_->scroll(0, dy);
}

void ReadingGridView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutParts();
}

void ReadingGridView::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QRect dirty = event->rect();
    p.fillRect(dirty, palette().color(QPalette::Base));
    if (!model_)
        return;
    const int scroll = verticalScrollBar()->value();
    const int first = (scroll + dirty.top()) / kRowHeight;
    const int last = std::min(rowCount() - 1, (scroll + dirty.bottom()) / kRowHeight);
    const int columns = model_->columnCount();

    QStyleOptionViewItem option;
    option.initFrom(this);
    option.widget = this;
    option.showDecorationSelected = true;
    const QStyle::State base = QStyle::State_Enabled | QStyle::State_Active;
    for (int row = first; row <= last; ++row) {
        const int y = row * kRowHeight - scroll;
        option.state = base | (row == current_ ? QStyle::State_Selected : QStyle::State_None);
        for (int column = 0; column < columns; ++column) {
            const QRect cell(header_->sectionViewportPosition(column), y, header_->sectionSize(column), kRowHeight);
            if (!cell.intersects(dirty))
                continue;
            option.rect = cell.adjusted(0, 0, -1, -1);
            const QModelIndex index = model_->index(row, column);
            if (column == glyphColumn_ && delegate_)
                delegate_->paint(&p, option, index);
            else
                paintText(p, option, index);
        }
    }
    if (first > last || columns == 0)
        return;
    // The lines along every cell's right and bottom edge: one strip per column and
    // per row rather than two lines per cell.
    const QColor lines = palette().color(QPalette::Mid);
    const int top = first * kRowHeight - scroll;
    const int height = (last - first + 1) * kRowHeight;
    int left = header_->sectionViewportPosition(0);
    int right = left - 1;
    for (int column = 0; column < columns; ++column) {
        const int x = header_->sectionViewportPosition(column);
        const int width = header_->sectionSize(column);
        if (width <= 0) // a hidden column has no cells to edge
            continue;
        const int cellRight = x + width - 1;
        p.fillRect(QRect(cellRight, top, 1, height), lines);
        left = std::min(left, x);
        right = std::max(right, cellRight);
    }
    for (int row = first; row <= last; ++row)
        p.fillRect(QRect(left, (row + 1) * kRowHeight - scroll - 1, right - left + 1, 1), lines);
}

// A text cell: the row's colours and the model's text, font and alignment. The
// style's item painting lays out decorations, check marks and elision for every
// cell; these cells hold one short text, drawn from the fonts' glyphs.
void ReadingGridView::paintText(QPainter& p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        p.fillRect(option.rect, option.palette.color(QPalette::Highlight));
    const QVariant font = index.data(Qt::FontRole);
    p.setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QVariant align = index.data(Qt::TextAlignmentRole);
    const int flags = align.isValid() ? align.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter);
    cellText_.draw(p, option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0), flags,
                   index.data(Qt::DisplayRole).toString(), font.isValid() ? font.value<QFont>() : option.font);
}

void ReadingGridView::mousePressEvent(QMouseEvent* event)
{
    const int row = (event->position().toPoint().y() + verticalScrollBar()->value()) / kRowHeight;
    if (row < rowCount())
        setCurrentRow(row);
    QAbstractScrollArea::mousePressEvent(event);
}

void ReadingGridView::keyPressEvent(QKeyEvent* event)
{
    const int page = std::max(1, viewport()->height() / kRowHeight);
    int row = current_;
    switch (event->key()) {
    case Qt::Key_Up: row -= 1; break;
    case Qt::Key_Down: row += 1; break;
    case Qt::Key_PageUp: row -= page; break;
    case Qt::Key_PageDown: row += page; break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = rowCount() - 1; break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    setCurrentRow(std::clamp(row, 0, std::max(0, rowCount() - 1)));
}

} // namespace valdrin
