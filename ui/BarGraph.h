// The bar graph PBar2 under the LCD: a classic progress bar that shows no text.
// It moves with nearly every frame. The stock bar formats its hidden percentage
// text through the locale at every change and every paint, and the style draws the
// groove and the blocks anew each time; this one keeps the picture of each value it
// has shown (the bar has only a few dozen) and puts it back in one copy.
#pragma once

#include <QPixmap>
#include <QProgressBar>

#include <map>

namespace valdrin {

class BarGraph final : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    QString text() const override { return {}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What every kept picture was drawn for; any change draws them anew.
    struct Look {
        QSize size;
        int minimum = 0, maximum = 0;
        qint64 palette = 0;
        const void* style = nullptr;
        bool enabled = true, active = true;
        bool operator==(const Look&) const = default;
    };
    static constexpr std::size_t kMostPictures = 256;

    Look look_;
    std::map<int, QPixmap> pictures_;
};

} // namespace valdrin
