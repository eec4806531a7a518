// The needle dial KD: a white panel with a lowered bevel that paints the dial
// model's face and moves its needle. The face is repainted only after KDsetup
// ran; every other refresh moves just the needle.
#pragma once

#include <QFrame>
#include <QImage>

#include <cstdint>

namespace valdrin {

class FcommCore;

class DialView : public QFrame {
public:
    DialView(FcommCore& core, QWidget* parent);

    // Brings the picture up to the core's dial: the face when it was rebuilt since
    // the last call, otherwise only the needle.
    void refresh();

    // The dial picture as painted (the KD1 image), for tests and snapshots.
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FcommCore& core_;
    QImage picture_;
};

} // namespace valdrin
