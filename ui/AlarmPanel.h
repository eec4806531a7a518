// The limit alarm oltext on the dial panel: "OL !!" in white on grey, 113 x 49.
#pragma once

#include <QLabel>

namespace valdrin {

class AlarmPanel : public QLabel {
public:
    static constexpr int kWidth = 113, kHeight = 49;

    explicit AlarmPanel(QWidget* parent = nullptr);
};

} // namespace valdrin
