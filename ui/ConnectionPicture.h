// The link pictures beside the dial: CONok (frames arriving, screens lit white) and
// CONokN (no frames, screens dark): a computer beside a meter, 25 x 24.
#pragma once

#include <QWidget>

namespace valdrin {

class ConnectionPicture : public QWidget {
public:
    static constexpr int kWidth = 25, kHeight = 24;

    // lit: the CONok picture; otherwise CONokN. The object name follows.
    explicit ConnectionPicture(bool lit, QWidget* parent = nullptr);
    bool lit() const { return lit_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool lit_;
};

} // namespace valdrin
