// The tool row on the chart's top edge, children of the chart, left to right:
// Bevel1 with BtFill "Fill", Maxrecord "100", BtNew, BtSave, BtFirst, BTPrevious,
// Bt10 (the page number), BtNext, BTlast; TbFd and TbSx at the right end; the
// hidden ComboBox1. Each control runs its core handler; the row mirrors the
// chart model's controls back.
#pragma once

#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QToolButton;
class QWidget;

namespace valdrin {

class FcommCore;
struct ChartControls;

struct ChartToolRow {
    QFrame* Bevel1;
    QCheckBox* BtFill;
    QLineEdit* Maxrecord;
    QToolButton *BtNew, *BtSave, *BtFirst, *BTPrevious, *Bt10, *BtNext, *BTlast;
    QToolButton *TbFd, *TbSx;
    QComboBox* ComboBox1;
};

// What the row cannot do through the core alone.
struct ChartToolActions {
    std::function<void()> save;    // BtSaveClick
    std::function<void()> changed; // after any handler: show the new chart state
};

// Builds the row on `chart`; the controls keep their places relative to the chart.
ChartToolRow buildChartToolRow(QWidget& chart, FcommCore& core, ChartToolActions actions);

// Check marks, enabled states, the page number and the zoom images as the model has them.
void mirrorChartControls(const ChartToolRow& row, const ChartControls& controls);

} // namespace valdrin
