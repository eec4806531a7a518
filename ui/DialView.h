// The needle dial KD: a white panel with a lowered bevel holding the dial picture
// KD1. The picture keeps what was drawn on it, as a canvas does: refresh() paints
// the whole face only after KDsetup ran, otherwise it erases the needle drawn last
// and draws the one KDrun left. The enlarge and restore images KdFd and KdSx exist
// but stay hidden, so the dial keeps its size.
#pragma once

#include <QFrame>
#include <QImage>

#include <cstdint>

#include "chart/DialItem.h"

class QLabel;

namespace valdrin {

class FcommCore;

class DialView : public QFrame {
public:
    DialView(FcommCore& core, QWidget* parent);

    // Brings the picture up to the core's dial: the face when it was rebuilt since
    // the last call, otherwise only the needle.
    void refresh();

    // The picture KD1 as drawn, in the panel's client area.
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void KDResize();
    void drawNeedle(uint32_t colour);

    FcommCore& core_;
    QImage picture_;
    QLabel* KdFd_;
    QLabel* KdSx_;
    uint64_t shownFace_ = 0;
    uint64_t shownNeedle_ = 0;
    bool needleDrawn_ = false;
    DialPoint needleTip_{0, 0}, needleBase_{0, 0};
};

} // namespace valdrin
