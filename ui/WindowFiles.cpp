// FCOMM's table file and report commands: the save and load commands on the grid's
// table, and the print command's preview. Each repaints the whole window after.
#include "ui/BrevastF.h"

#include "ui/ReadingGridModel.h"
#include "ui/TableFileCommands.h"
#include "ui/WindowGridView.h"

#include <QHeaderView>

namespace valdrin {

// A text file's header follows the grid's columns as they stand on the screen.
TableFileOptions TFCOMM::tableFileOptions() const
{
    TableFileOptions options;
    options.longTimeFormat = core_.LongTimeFormat;
    options.columnTitles.clear();
    const QHeaderView* header = DBGrid1_->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        options.columnTitles.push_back(gridModel_->headerData(column, Qt::Horizontal).toString().toStdString());
    }
    return options;
}

// The grid shows the table as it is now (a load's rows at once), then everything is
// painted again.
void TFCOMM::repaintAll()
{
    mirror();
    repaint();
}

void TFCOMM::saveasClick()
{
    bool saved = false;
    handle([&] { saved = valdrin::saveasClick(core_.cds1, edges_.dialogs, edges_.messages, tableFileOptions()); });
    // The save read the table to its end: the last row is the current one.
    if (saved && gridModel_->rowCount() > 0)
        DBGrid1_->setCurrentRow(gridModel_->rowCount() - 1);
    repaintAll();
}

void TFCOMM::SpeedButton2Click()
{
    handle([&] { valdrin::SpeedButton2Click(core_.cds1, edges_.dialogs, edges_.messages, tableFileOptions()); });
    repaintAll();
}

void TFCOMM::BtPrintClick()
{
    if (Report1_.showing())
        return;
    bool shown = false;
    handle([&] { shown = Report1_.show(core_.cds1, core_.LongTimeFormat, edges_.messages); });
    // Building the report read the table to its end: the last row is the current one.
    if (shown && gridModel_->rowCount() > 0)
        DBGrid1_->setCurrentRow(gridModel_->rowCount() - 1);
    repaintAll();
}

} // namespace valdrin
