// The trend chart Chtshow: our own painting of the chart model's shown series,
// page by page, with the tool row on its top edge. The window constructs it and
// calls refresh() at the screen's pace; the chart redraws only when the model
// changed. While enlarged it lies over the LCD panel, the dial and the grid.
#pragma once

#include <QFrame>

#include <cstdint>

#include "ui/ChartToolRow.h"

namespace valdrin {

class FcommCore;
class Messages;
class FileDialogs;

class ChartView : public QFrame {
public:
    ChartView(FcommCore& core, Messages& messages, FileDialogs& dialogs, QWidget* parent);

    // Mirrors the chart model: the tool row, place and size, and the plot, when
    // the model changed since the last call.
    void refresh();

    // BtSave and the hidden menu item "Save": the chart as a bitmap file.
    void BtSaveClick();

    const ChartToolRow& toolRow() const { return row_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // ChtshowMouseWheel: the wheel is taken and does nothing, so the chart never scrolls.
    void wheelEvent(QWheelEvent* event) override;

private:
    FcommCore& core_;
    Messages& messages_;
    FileDialogs& dialogs_;
    ChartToolRow row_;
    uint64_t shownRevision_ = 0;
};

} // namespace valdrin
