#include "ui/ReadingGridModel.h"

#include <QFont>

#include <climits>

namespace valdrin {

namespace {

constexpr std::array<int, ReadingGridModel::ColumnCount> kWidths = {53, 60, 44, 56, 35, 35};
constexpr std::array<Qt::Alignment::Int, ReadingGridModel::ColumnCount> kAlignments = {
    Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignRight, Qt::AlignHCenter};
constexpr std::array<Field, ReadingGridModel::ColumnCount> kFields = {Field::No,    Field::Time, Field::DCAC,
                                                                     Field::Value, Field::Unit, Field::Auto};

// A view counts rows in int; a table beyond that shows its first INT_MAX rows.
int viewRows(std::size_t rows) { return rows > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(rows); }

QFont pixelFont(const QString& family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

ReadingGridModel::ReadingGridModel(const ReadingTable& table, const std::string& longTimeFormat, QObject* parent)
    : QAbstractTableModel(parent),
      table_(table),
      timeFormat_(longTimeFormat),
      cellFont_(pixelFont(QStringLiteral("Arial"), 12)),
      titleFont_(pixelFont(QStringLiteral("MS Sans Serif"), 11)),
      rows_(viewRows(table.size())),
      generation_(table.generation())
{
}

const std::array<int, ReadingGridModel::ColumnCount>& ReadingGridModel::columnWidths() { return kWidths; }

bool ReadingGridModel::refresh()
{
    const int rows = viewRows(table_.size());
    if (table_.generation() != generation_ || rows < rows_) {
        generation_ = table_.generation();
        if (rows_ == 0 && rows == 0)
            return false;
        beginResetModel();
        rows_ = rows;
        endResetModel();
        return true;
    }
    if (rows == rows_)
        return false;
    beginInsertRows(QModelIndex(), rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
    return true;
}

int ReadingGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ReadingGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ReadingGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() < 0 || index.column() >= ColumnCount)
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(kAlignments[column] | Qt::AlignVCenter));
    case Qt::FontRole:
        return cellFont_;
    case Qt::DisplayRole:
        break;
    default:
        return {};
    }
    // Until the next refresh the views may still ask for rows of a table that was
    // emptied meanwhile: those read as blank.
    const auto row = static_cast<std::size_t>(index.row());
    if (index.row() < 0 || index.row() >= rows_ || row >= table_.size())
        return {};
    switch (kFields[column]) {
    case Field::No:
        if (const auto no = table_.no(row))
            return QString::number(*no);
        return QString();
    case Field::Time:
        if (const auto ms = table_.timeMs(row))
            return QString::fromStdString(timeFormat_.format(*ms));
        return QString();
    default:
        return latin1(table_.text(row, kFields[column]));
    }
}

QVariant ReadingGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)  // the row indicator column carries no numbers
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    if (section < 0 || section >= ColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole: return latin1(kFieldNames[static_cast<std::size_t>(section)]);
    case Qt::FontRole: return titleFont_;
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default: return {};
    }
}

Qt::ItemFlags ReadingGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace valdrin
