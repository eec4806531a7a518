// The grid's scroll bar repaints only where its handle was and is: what reaches the
// window must still be what the style draws for the bar's state now.
#include "ui/GridScrollBar.h"

#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace valdrin {
namespace {

TEST(GridScrollBar, TheWindowShowsWhatTheStyleDrawsAfterEveryStep)
{
    std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("Windows")));
    ASSERT_TRUE(classic);
    QWidget window;
    window.resize(40, 300);
    auto* bar = new GridScrollBar(&window);
    QScrollBar stock(Qt::Vertical);
    for (QScrollBar* b : {static_cast<QScrollBar*>(bar), &stock}) {
        b->setStyle(classic.get());
        b->setGeometry(0, 0, 17, 281);
        b->setPageStep(263);
    }
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Rows arriving: the range grows by a row and the value follows the end; then
    // jumps between the ends, and a range that fits the page (no handle).
    struct Step {
        int maximum, value;
    };
    std::vector<Step> steps;
    for (int rows = 15; rows < 400; rows += 7)
        steps.push_back({rows * 18 - 263, rows * 18 - 263});
    steps.push_back({7000, 0});
    steps.push_back({7000, 3500});
    steps.push_back({7000, 1000});
    steps.push_back({7000, 6000});
    steps.push_back({9000, 6000});
    steps.push_back({0, 0});
    for (const Step& s : steps) {
        for (QScrollBar* b : {static_cast<QScrollBar*>(bar), &stock}) {
            b->setRange(0, s.maximum);
            b->setValue(s.value);
        }
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        const QImage onScreen = window.screen()->grabWindow(window.winId()).toImage().copy(bar->geometry());
        const QImage drawn = stock.grab().toImage();
        ASSERT_EQ(onScreen.convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32))
            << s.maximum << " " << s.value;
    }
}

} // namespace
} // namespace valdrin
