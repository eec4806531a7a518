// The trend chart Chtshow: paints the chart model's shown series, page by page,
// and holds the tool row on its top edge. The window constructs it and calls
// refresh() after events that may have changed the chart model.
#pragma once

#include <QFrame>

namespace valdrin {

class FcommCore;
class Messages;
class FileDialogs;

class ChartView : public QFrame {
public:
    ChartView(FcommCore& core, Messages& messages, FileDialogs& dialogs, QWidget* parent);

    // Mirrors the chart model: tool row state, place and size, and the plot when
    // its points, page or series changed.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    FcommCore& core_;
    Messages& messages_;
    FileDialogs& dialogs_;
};

} // namespace valdrin
