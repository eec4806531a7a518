// The grid DBGrid1's model over the reading table cds1: six read-only columns, rows
// read from the table on demand, appended rows announced in one batch per refresh.
#pragma once

#include <QAbstractTableModel>
#include <QFont>

#include <array>
#include <cstdint>
#include <string>

#include "record/ReadingTable.h"
#include "record/TimeText.h"

namespace valdrin {

class ReadingGridModel : public QAbstractTableModel {
public:
    enum Column { NoColumn, TimeColumn, DCACColumn, ValueColumn, UnitColumn, AutoColumn, ColumnCount };

    // The table must outlive the model. Times are shown in longTimeFormat (strftime).
    ReadingGridModel(const ReadingTable& table, const std::string& longTimeFormat, QObject* parent = nullptr);

    // Column widths in pixels, left to right; the view sets them.
    static const std::array<int, ColumnCount>& columnWidths();

    // Brings the model up to the table: rows appended since the last refresh are
    // announced in one batch; a table that was emptied or replaced resets the model.
    // Returns whether anything changed. Called at the screen's pace.
    bool refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ReadingTable& table_;
    TimeOfDayFormat timeFormat_;
    QFont cellFont_;   // Arial, 12 pixels
    QFont titleFont_;  // MS Sans Serif, 11 pixels
    int rows_ = 0;                 // rows announced to the views
    uint64_t generation_ = 0;      // the table's generation when they were announced
};

} // namespace valdrin
