// The bar graph keeps a picture per value: what it shows must stay what the style
// draws for the bar's value now, also after the range or the size changed.
#include "ui/BarGraph.h"

#include <QStyle>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

namespace valdrin {
namespace {

QImage shown(QWidget& bar)
{
    return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(BarGraph, ShowsWhatTheStyleDrawsForEveryValueRangeAndSize)
{
    std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("Windows")));
    ASSERT_TRUE(classic);
    BarGraph bar;
    QProgressBar stock;
    for (QProgressBar* b : {static_cast<QProgressBar*>(&bar), &stock}) {
        b->setStyle(classic.get());
        b->setTextVisible(false);
        b->resize(334, 17);
    }
    struct Case {
        int maximum, value, width;
    };
    // Values again after another: a kept picture comes back; a new range or size
    // must not bring back a picture of the old one.
    const Case cases[] = {{40, 20, 334}, {40, 0, 334}, {40, 40, 334}, {40, 20, 334}, {40, 7, 334},
                          {20, 7, 334},  {20, 20, 334}, {20, 7, 200}, {40, 7, 200}};
    for (const Case& c : cases) {
        for (QProgressBar* b : {static_cast<QProgressBar*>(&bar), &stock}) {
            b->setRange(0, c.maximum);
            b->setValue(c.value);
            b->resize(c.width, 17);
        }
        EXPECT_EQ(shown(bar), shown(stock)) << c.maximum << " " << c.value << " " << c.width;
    }
    EXPECT_TRUE(bar.text().isEmpty());
}

} // namespace
} // namespace valdrin
