// The dial KD on the offscreen platform: the face from the core's items, the
// needle moved by frames without touching the face, the limit band in red.
#include "ui/DialView.h"

#include "tests/support/CoreFixture.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>

using namespace valdrin;
using namespace valdrin::test;

namespace {

struct DialFixture {
    CoreFixture f;
    QWidget window;
    DialView* dial;

    DialFixture()
    {
        window.resize(711, 485);
        dial = new DialView(f.core, &window);
    }
    QRgb at(int x, int y) const { return dial->picture().pixel(x, y); }
    bool black(int x, int y) const { return at(x, y) == qRgb(0, 0, 0); }
    // The needle covers x or its neighbour on a row (a 2-pixel pen).
    bool needleOn(int x, int y) const { return black(x, y) || black(x - 1, y) || black(x + 1, y); }
};

// Distance of a pixel from the segment a-b.
double distance(QPoint p, DialPoint a, DialPoint b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t = std::clamp(((p.x() - a.x) * dx + (p.y() - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(p.x() - (a.x + t * dx), p.y() - (a.y + t * dy));
}

TEST(DialView, StartsWithTheNeedleUprightAtZero)
{
    DialFixture d;
    EXPECT_EQ(d.dial->objectName(), "KD");
    EXPECT_EQ(d.dial->geometry(), QRect(337, 28, 371, 143));
    EXPECT_EQ(d.dial->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(d.dial->picture().size(), d.dial->contentsRect().size());

    // Position 400 of 800 stands straight up from the centre at x = 20 + w/2.
    const DialPoint tip = d.f.core.S.dial.NeedleTip;
    EXPECT_EQ(tip.x, 186);
    EXPECT_EQ(d.f.core.S.dial.NeedleBase.x, 186);
    for (int y = tip.y + 2; y < d.dial->picture().height(); y += 10)
        EXPECT_TRUE(d.needleOn(186, y)) << y;
    EXPECT_EQ(d.at(150, 100), qRgb(255, 255, 255));

    // The "0" above the needle: black text in its box, the band dots black.
    const QPoint zero(186 - 3, d.f.core.S.dial.stepPoint(40, 80, d.f.core.S.dial.R() + 18).y - 4);
    int ink = 0;
    for (int x = zero.x(); x < zero.x() + 10; ++x)
        for (int y = zero.y(); y < zero.y() + 12; ++y)
            ink += qGray(d.at(x, y)) < 128;
    EXPECT_GT(ink, 3);
    const DialPoint band = d.f.core.S.dial.stepPoint(400, 800, d.f.core.S.dial.R() + 3);
    EXPECT_TRUE(d.black(band.x + 1, band.y + 1));

    for (const char* name : {"KdFd", "KdSx"}) {
        auto* image = d.dial->findChild<QWidget*>(name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_TRUE(image->isHidden());
        EXPECT_EQ(image->geometry(), QRect(371 - 30, 5, 25, 25));
    }
}

TEST(DialView, AFrameMovesOnlyTheNeedle)
{
    DialFixture d;
    const QImage before = d.dial->picture().copy();
    const DialPoint oldTip = d.f.core.S.dial.NeedleTip, oldBase = d.f.core.S.dial.NeedleBase;

    d.f.zentor({"200001121"}); // 2.0000 V: position 200 + 400
    ASSERT_EQ(d.f.core.lastReport().dial, 600);
    d.dial->refresh();
    const QImage after = d.dial->picture();
    const DialPoint newTip = d.f.core.S.dial.NeedleTip, newBase = d.f.core.S.dial.NeedleBase;
    EXPECT_GT(newTip.x, oldTip.x);

    // Every changed pixel lies on the old or the new needle; the face stays.
    int changed = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y))
                continue;
            ++changed;
            const QPoint p(x, y);
            EXPECT_LT(std::min(distance(p, oldTip, oldBase), distance(p, newTip, newBase)), 2.5) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 100);
    EXPECT_FALSE(d.needleOn(186, 120)); // the upright needle is gone
    EXPECT_EQ(d.dial->picture(), after);
    d.dial->refresh(); // nothing changed: nothing drawn
    EXPECT_EQ(d.dial->picture(), after);
}

// Needle moves back and forth over the face: the picture must be what a dial drawn
// afresh shows (the face with only the newest needle), and every pixel that
// changed must lie in what the view asked the screen to repaint.
TEST(DialView, ANeedleMoveLeavesNoTraceAndRepaintsOnlyTheNeedles)
{
    DialFixture d;
    const char* frames[] = {"200001121", "000001121", "200001121", "200001121", "000001121"};
    for (const char* frame : frames) {
        const QImage before = d.dial->picture().copy();
        d.f.zentor({frame});
        const QRegion dirty = d.dial->refresh();
        const QImage after = d.dial->picture();

        QWidget other;
        const DialView fresh(d.f.core, &other);
        ASSERT_EQ(after, fresh.picture()) << frame;

        const QPoint origin = d.dial->contentsRect().topLeft();
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                if (before.pixel(x, y) != after.pixel(x, y)) {
                    ASSERT_TRUE(dirty.contains(QPoint(x, y) + origin)) << frame << " " << x << "," << y;
                }
            }
        }
        if (before == after) {
            EXPECT_TRUE(dirty.isEmpty()) << "the same reading again: nothing to repaint";
        } else {
            EXPECT_LT(dirty.boundingRect().width(), d.dial->width() / 2) << frame;
        }
    }
}

TEST(DialView, AnArmedLimitRedrawsTheFaceWithARedBand)
{
    DialFixture d;
    const DialModel& model = d.f.core.S.dial;
    const auto bandDot = [&](int k) {
        const DialPoint p = model.stepPoint(k, 800, model.R() + 3);
        return d.at(p.x + 1, p.y + 1);
    };
    EXPECT_EQ(bandDot(800), qRgb(0, 0, 0));

    d.f.core.C.limits.Setmax = "20000";
    d.f.core.C.limits.SetMaxB = true;
    d.f.core.SetmaxExit(); // KDsetup: the face again, without a needle
    d.dial->refresh();
    EXPECT_EQ(bandDot(800), qRgb(255, 0, 0));
    // Neighbouring dots overlap (half a pixel apart): look clear of the limit.
    EXPECT_EQ(bandDot(650), qRgb(255, 0, 0));
    EXPECT_EQ(bandDot(560), qRgb(0, 0, 0));
    EXPECT_EQ(bandDot(0), qRgb(0, 0, 0));
    EXPECT_FALSE(d.needleOn(186, 120));

    d.f.zentor({"000001121"}); // the next frame brings the needle back
    d.dial->refresh();
    EXPECT_TRUE(d.needleOn(186, 120));
    EXPECT_EQ(bandDot(800), qRgb(255, 0, 0));
}

} // namespace
