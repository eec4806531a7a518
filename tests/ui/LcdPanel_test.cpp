// The LCD panel drawn from the LCD state: digits, points, annunciators, the opaque
// labels, the background and the bevel, and repainting only on a change.
#include "ui/LcdPanel.h"
#include "ui/AlarmPanel.h"
#include "ui/ConnectionPicture.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace valdrin {
namespace {

const QRgb kBackground = qRgb(232, 232, 232);

QImage drawn(const LcdState& state)
{
    LcdPanel panel;
    panel.showState(state);
    return panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 100; }

int darkPixels(const QImage& image, QRect area)
{
    area &= image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += dark(image, x, y);
    return n;
}

// Pixels of the area dark in after but not in before: what an element added.
int newlyDark(const QImage& after, const QImage& before, QRect area)
{
    area &= after.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += dark(after, x, y) && !dark(before, x, y);
    return n;
}

// Middles of the seven segments of a digit label whose left edge is at x (top at 20).
struct SegmentProbe {
    char segment;
    int dx, dy;
};
constexpr SegmentProbe kSegments[] = {{'a', 19, 38}, {'b', 32, 56}, {'c', 32, 94}, {'d', 19, 112},
                                      {'e', 6, 94},  {'f', 6, 56},  {'g', 19, 75}};

std::string litSegments(const QImage& image, int digitLeft)
{
    std::string lit;
    for (const SegmentProbe& p : kSegments)
        if (dark(image, digitLeft + p.dx, p.dy))
            lit += p.segment;
    return lit;
}

constexpr int kD0 = 40, kDa = 88, kDb = 136, kDc = 184, kDd = 232;  // digit lefts

TEST(LcdPanelTest, StartShowsThreeNinesNinesWithTheMinusOnGreyInALoweredBevel)
{
    LcdPanel panel;
    EXPECT_EQ(panel.objectName(), "Panel1");
    EXPECT_EQ(panel.size(), QSize(334, 129));
    const QImage image = panel.grab().toImage().convertToFormat(QImage::Format_RGB32);

    EXPECT_EQ(litSegments(image, kD0), "abcdg");
    for (const int left : {kDa, kDb, kDc, kDd})
        EXPECT_EQ(litSegments(image, left), "abcdfg") << left;
    EXPECT_TRUE(dark(image, 20, 75));  // the minus sign's bar

    // Nothing else: no point, no annunciator above the digits or beside them.
    for (const int x : {81, 130, 178, 227})
        EXPECT_EQ(image.pixel(x, 109), kBackground) << x;
    EXPECT_EQ(darkPixels(image, QRect(2, 2, 330, 17)), 0);     // the annunciator row
    EXPECT_EQ(darkPixels(image, QRect(274, 2, 58, 125)), 0);   // units and prefixes
    EXPECT_EQ(image.pixel(300, 120), kBackground);

    // Lowered: shadow along the top and left edges, light along the bottom and right.
    EXPECT_EQ(image.pixel(0, 0), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(166, 0), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(0, 64), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(166, 128), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(333, 64), qRgb(255, 255, 255));
}

TEST(LcdPanelTest, PointsCouplingAndUnitAppearAndTheMinusGoes)
{
    LcdState state;
    state.hide(Lcd::LcdFH);
    state.show(Lcd::LcdP1);
    state.show(Lcd::LcdAC);
    state.show(Lcd::LcdV);
    const QImage image = drawn(state);
    const QImage start = drawn(LcdState());

    EXPECT_EQ(image.pixel(20, 75), kBackground);  // minus hidden
    // LcdP1 after the second digit: a 7 x 8 black square at 127, 105.
    for (const QPoint p : {QPoint(127, 105), QPoint(133, 105), QPoint(127, 112), QPoint(133, 112), QPoint(130, 109)})
        EXPECT_EQ(image.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(126, 109), QPoint(134, 109), QPoint(130, 104), QPoint(130, 113)})
        EXPECT_EQ(image.pixel(p), kBackground) << p.x() << "," << p.y();
    for (const int x : {81, 178, 227})  // the other points stay off
        EXPECT_EQ(image.pixel(x, 109), kBackground) << x;

    // "AC" at 182, 14 in the bold symbol face, 20 pixels: the A's left leg and bar.
    EXPECT_TRUE(dark(image, 183, 25));
    EXPECT_TRUE(dark(image, 187, 25));
    const QRect ac = LcdPanel::elementRect(Lcd::LcdAC, state);
    EXPECT_EQ(ac.topLeft(), QPoint(182, 14));
    EXPECT_GT(newlyDark(image, start, ac), 40);
    // "V" at 304, 83, 24 pixels: its point at the bottom of the letter.
    EXPECT_TRUE(dark(image, 310, 101));
    const QRect v = LcdPanel::elementRect(Lcd::LcdV, state);
    EXPECT_GT(newlyDark(image, start, v), 20);
    EXPECT_EQ(darkPixels(start, v), 0);
    // The digits are unchanged.
    EXPECT_EQ(litSegments(image, kD0), "abcdg");
    EXPECT_EQ(litSegments(image, kDd), "abcdfg");
}

TEST(LcdPanelTest, AtSignShowsTheSevenSegmentLAndAnEmptyCaptionABlankDigit)
{
    LcdState state;
    state.setCaption(Digit::LcdDc, '\0');
    state.setCaption(Digit::LcdDd, '@');
    const QImage image = drawn(state);
    EXPECT_EQ(litSegments(image, kDd), "def");
    EXPECT_EQ(darkPixels(image, QRect(kDc, 20, 38, 112)), 0);
    EXPECT_EQ(litSegments(image, kDb), "abcdfg");
    EXPECT_EQ(LcdPanel::elementRect(Lcd::LcdDc, state).width(), 0);  // sized to its empty text
    EXPECT_EQ(LcdPanel::elementRect(Lcd::LcdDd, state).size(), QSize(38, 112));
}

TEST(LcdPanelTest, RsAnd232cReadRs232cAboveTheDigits)
{
    LcdState state;
    state.setCaption(Digit::LcdDa, '8');
    const QImage bare = drawn(state);
    state.show(Lcd::LCD232C);
    const QImage covered = drawn(state);
    state.show(Lcd::LCDRS);
    const QImage both = drawn(state);

    // "232C" stands above the second digit, which keeps every segment.
    const QRect label = LcdPanel::elementRect(Lcd::LCD232C, state);
    EXPECT_EQ(label.topLeft(), QPoint(98, 15));
    EXPECT_GT(newlyDark(covered, bare, label), 20);  // its own text
    EXPECT_EQ(litSegments(covered, kDa), "abcdefg");

    // "RS" beside it reads RS232C with it.
    const QRect rs = LcdPanel::elementRect(Lcd::LCDRS, state);
    EXPECT_EQ(rs.topLeft(), QPoint(70, 11));
    EXPECT_LE(rs.right(), label.left());
    EXPECT_GT(newlyDark(both, covered, rs), 20);
}

// Counts paint events of a widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST(LcdPanelTest, RepaintsOnlyWhenTheShownStateChanges)
{
    LcdPanel panel;
    PaintCounter counter;
    panel.installEventFilter(&counter);
    panel.show();
    QApplication::processEvents();
    const int afterShow = counter.paints;

    LcdState state;
    state.setBar(7);  // beside the panel: not its to draw
    state.setConnected(true);
    panel.showState(state);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, afterShow);

    state.show(Lcd::LCDHold);
    panel.showState(state);
    QApplication::processEvents();
    EXPECT_GT(counter.paints, afterShow);
    EXPECT_TRUE(panel.shownState().shown(Lcd::LCDHold));
}

TEST(LcdPanelTest, IndicatorsBesideThePanel)
{
    ConnectionPicture lit(true), darkScreens(false);
    EXPECT_EQ(lit.objectName(), "CONok");
    EXPECT_EQ(darkScreens.objectName(), "CONokN");
    EXPECT_EQ(lit.size(), QSize(25, 24));
    const QImage a = lit.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage b = darkScreens.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The computer's screen and the meter's display: white when lit, dark otherwise.
    for (const QPoint p : {QPoint(6, 9), QPoint(19, 5)}) {
        EXPECT_EQ(a.pixel(p), qRgb(255, 255, 255)) << p.x() << "," << p.y();
        EXPECT_LT(qGray(b.pixel(p)), 80) << p.x() << "," << p.y();
    }

    AlarmPanel alarm;
    EXPECT_EQ(alarm.objectName(), "oltext");
    EXPECT_EQ(alarm.size(), QSize(113, 49));
    EXPECT_EQ(alarm.text(), "OL !!");
    EXPECT_EQ(alarm.font().pixelSize(), 35);
    EXPECT_TRUE(alarm.font().bold());
    const QImage face = alarm.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(face.pixel(5, 24), qRgb(128, 128, 128));
    int white = 0;
    for (int x = 0; x < face.width(); ++x)
        white += face.pixel(x, 24) == qRgb(255, 255, 255);
    EXPECT_GT(white, 10);  // the caption's letters cross the middle row
}

} // namespace
} // namespace valdrin
