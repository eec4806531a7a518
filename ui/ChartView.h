// The trend chart Chtshow: our own painting of the chart model's shown series,
// page by page, with the tool row on its top edge. The window constructs it and
// calls refresh() at the screen's pace; the chart redraws only what the model
// changed: the tool row when its controls changed, the columns that new points on
// the shown page reached, the whole page below the tool row when the page turned
// or the axis or series changed. Panel, walls and left axis are kept as a picture.
// While enlarged it lies over the LCD panel, the dial and the grid.
#pragma once

#include <QFrame>
#include <QPixmap>
#include <QRegion>

#include <cstdint>

#include "chart/ChartModel.h"
#include "ui/ChartPainter.h"
#include "ui/ChartToolRow.h"

#include <array>

namespace valdrin {

class FcommCore;
class Messages;
class FileDialogs;

class ChartView : public QFrame {
public:
    ChartView(FcommCore& core, Messages& messages, FileDialogs& dialogs, QWidget* parent);

    // Mirrors the chart model: the tool row, place and size, and the plot, when
    // the model changed since the last call. Returns what it asked the screen to
    // repaint, in the chart's pixels (empty when nothing changed).
    QRegion refresh();

    // BtSave and the hidden menu item "Save": the chart as a bitmap file.
    void BtSaveClick();

    const ChartToolRow& toolRow() const { return row_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // ChtshowMouseWheel: the wheel is taken and does nothing, so the chart never scrolls.
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // What the shown page was drawn from.
    struct ShownPage {
        QSize size;
        std::array<bool, 2> visible{};
        std::array<PageRange, 2> range{};
        int32_t pointsPerPage = 0, axisMinimum = 0, axisMaximum = 0;
    };
    ShownPage pageNow() const;
    QRegion pageChange(const ShownPage& now) const;

    FcommCore& core_;
    Messages& messages_;
    FileDialogs& dialogs_;
    ChartToolRow row_;
    uint64_t shownRevision_ = 0;
    ChartControls shownControls_;
    ShownPage shownPage_;
    QPixmap frame_; // panel, walls and left axis of the shown size and axis; null when stale
    ChartLayout layout_; // of the size and font of frame_
};

} // namespace valdrin
