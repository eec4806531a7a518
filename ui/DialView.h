// The needle dial KD: a white panel with a lowered bevel holding the dial picture
// KD1. The picture keeps what was drawn on it, as a canvas does: refresh() paints
// the whole face only after KDsetup ran, otherwise it puts the face back where the
// needle drawn last stood (from a copy of the face) and draws the one KDrun left.
// Only the pixels near the two needles reach the screen: a frame costs a few thousand
// pixels, not the whole dial. The enlarge and restore images KdFd and KdSx exist
// but stay hidden, so the dial keeps its size.
#pragma once

#include <QFrame>
#include <QImage>
#include <QRegion>

#include <cstdint>

#include "chart/DialItem.h"

class QLabel;

namespace valdrin {

class FcommCore;

class DialView : public QFrame {
public:
    DialView(FcommCore& core, QWidget* parent);

    // Brings the picture up to the core's dial: the face when it was rebuilt since
    // the last call, otherwise only the needle. Returns what it asked the screen to
    // repaint, in the panel's pixels (empty when nothing changed).
    QRegion refresh();

    // The picture KD1 as drawn, in the panel's client area.
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void KDResize();
    void drawNeedle();
    void eraseNeedle();
    // The part of the picture that the needle drawn last covers.
    QRegion needleRegion() const;

    FcommCore& core_;
    QImage picture_;
    QImage face_; // the face alone: what lies under the needle
    QLabel* KdFd_;
    QLabel* KdSx_;
    uint64_t shownFace_ = 0;
    uint64_t shownNeedle_ = 0;
    bool needleDrawn_ = false;
    DialPoint needleTip_{0, 0}, needleBase_{0, 0};
    QRegion needleUnder_;  // what the needle drawn last covers
};

} // namespace valdrin
