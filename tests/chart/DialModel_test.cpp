// The dial: geometry, face per count family, limit band, needle and its guard.
#include "chart/DialModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace valdrin {
namespace {

DialParams family(const std::string& name, bool frequency = false)
{
    struct Constants {
        const char* name;
        int32_t fullScale, ticks;
    };
    static constexpr Constants table[] = {{"4", 40000, 80}, {"6", 6000, 120}, {"34", 3400, 68}, {"2", 20000, 40}};
    for (const auto& c : table) {
        if (name == c.name)
            return {name, c.fullScale, c.ticks, 5 * c.ticks, static_cast<float>(c.fullScale + 2),
                    -static_cast<float>(c.fullScale + 2), frequency, false, false};
    }
    ADD_FAILURE() << "no family " << name;
    return {};
}

std::vector<DialItem> itemsOf(const std::vector<DialItem>& face, DialItem::Kind kind, int pen = -1)
{
    std::vector<DialItem> out;
    for (const auto& item : face)
        if (item.kind == kind && (pen < 0 || item.penWidth == pen))
            out.push_back(item);
    return out;
}

// Distance of point p from the line through a and b.
double distanceFromLine(DialPoint p, DialPoint a, DialPoint b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    return std::abs(dx * (p.y - a.y) - dy * (p.x - a.x)) / std::hypot(dx, dy);
}

TEST(DialGeometry, ArcEndsOfRadiusRLieOnTheChordLine)
{
    const DialModel dial;
    EXPECT_EQ(dial.w(), 331.0f);
    EXPECT_EQ(dial.h(), 83.0f);
    EXPECT_NEAR(dial.R(), 206.5015f, 1e-3f);
    EXPECT_NEAR(dial.theta() + 2 * dial.alpha0(), 180.0f, 1e-4f);
    // A chord of width w at height h: the ends are at x 20 and 20 + w, y h + 30.
    EXPECT_EQ(dial.stepPoint(0, 80, dial.R()), (DialPoint{20, 113}));
    EXPECT_EQ(dial.stepPoint(80, 80, dial.R()), (DialPoint{351, 113}));
    // The top of the arc lies h above the chord.
    EXPECT_EQ(dial.stepPoint(40, 80, dial.R()).y, 30);
}

TEST(DialGeometry, RejectsPanelsWithoutRoomForTheScale)
{
    EXPECT_THROW(DialModel(40, 143), std::invalid_argument);
    EXPECT_THROW(DialModel(371, 60), std::invalid_argument);
}

TEST(DialFace, NumbersAndMarksPerFamily)
{
    struct Case {
        std::string family;
        bool frequency;
        std::vector<std::string> texts;
        size_t marks;
        uint32_t markColour;
    };
    const std::vector<Case> cases = {
        {"4", false, {"-40", "-30", "-20", "-10", "0", "10", "20", "30", "40"}, 9, DialWhite},
        {"6", false, {"-60", "-45", "-30", "-15", "0", "15", "30", "45", "60"}, 9, DialRed},
        {"34", false, {"-30", "-20", "-10", "0", "10", "20", "30"}, 7, DialRed},
        {"2", false, {"-20", "-15", "-10", "-5", "0", "5", "10", "15", "20"}, 0, DialRed},
        {"4", true, {"-50", "-40", "-30", "-20", "-10", "0", "10", "20", "30", "40", "50"}, 11, DialRed},
        {"2", true, {"-50", "-40", "-30", "-20", "-10", "0", "10", "20", "30", "40", "50"}, 11, DialRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family + (c.frequency ? " frequency" : ""));
        DialModel dial;
        const DialParams params = family(c.family, c.frequency);
        dial.KDsetup(params);
        const auto& face = dial.face();
        ASSERT_FALSE(face.empty());
        EXPECT_EQ(face.front().kind, DialItem::Kind::Clear);

        std::vector<std::string> texts;
        for (const auto& t : itemsOf(face, DialItem::Kind::Text)) {
            texts.push_back(t.text);
            EXPECT_EQ(t.colour, DialBlack);
        }
        EXPECT_EQ(texts, c.texts);

        const auto marks = itemsOf(face, DialItem::Kind::Ellipse, 2);
        EXPECT_EQ(marks.size(), c.marks);
        for (const auto& m : marks) {
            EXPECT_EQ(m.colour, c.markColour);
            EXPECT_EQ(m.x2 - m.x1, 2);
            EXPECT_EQ(m.y2 - m.y1, 2);
        }
        // The band has one dot per needle position whatever the mode.
        EXPECT_EQ(itemsOf(face, DialItem::Kind::Ellipse, 4).size(), static_cast<size_t>(10 * params.DialTicks + 1));
        // The band comes last.
        EXPECT_EQ(face.back().penWidth, 4);
    }
}

TEST(DialFace, NumberTextSitsOffsetFromItsAnchor)
{
    DialModel dial;
    dial.KDsetup(family("4"));
    const auto texts = itemsOf(dial.face(), DialItem::Kind::Text);
    ASSERT_EQ(texts.size(), 9u);
    // "-40" on step 0 is offset (5, 7), "0" on step 40 by (3, 4), "40" on step 80 by (12, 7).
    const DialPoint left = dial.stepPoint(0, 80, dial.R() + 18);
    const DialPoint top = dial.stepPoint(40, 80, dial.R() + 18);
    const DialPoint right = dial.stepPoint(80, 80, dial.R() + 18);
    EXPECT_EQ((DialPoint{texts[0].x1, texts[0].y1}), (DialPoint{left.x - 5, left.y - 7}));
    EXPECT_EQ((DialPoint{texts[4].x1, texts[4].y1}), (DialPoint{top.x - 3, top.y - 4}));
    EXPECT_EQ((DialPoint{texts[8].x1, texts[8].y1}), (DialPoint{right.x - 12, right.y - 7}));
    EXPECT_EQ(top.y, 12); // R + 18 above the centre, which is R + 30 down
}

TEST(DialFace, LimitBandTurnsRedBeyondArmedLimits)
{
    struct Case {
        const char* name;
        bool setMax;
        float upper;
        bool setMin;
        float lower;
        int redBelow; // dots k < redBelow are red
        int redAbove; // dots k > redAbove are red
    };
    const Case cases[] = {
        {"upper 20000 armed", true, 20000, false, -40002, -1, 600},
        {"upper 20000 not armed", false, 20000, false, -40002, -1, 800},
        {"lower -20000 armed", false, 40002, true, -20000, 200, 800},
        {"both armed at 0", true, 0, true, 0, 400, 400},
        {"start limits armed", true, 40002, true, -40002, -1, 800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DialParams params = family("4");
        params.SetMaxB = c.setMax;
        params.UpperLimit = c.upper;
        params.SetMinB = c.setMin;
        params.LowerLimit = c.lower;
        DialModel dial;
        dial.KDsetup(params);
        const auto band = itemsOf(dial.face(), DialItem::Kind::Ellipse, 4);
        ASSERT_EQ(band.size(), 801u);
        for (int k = 0; k <= 800; ++k) {
            const bool red = k < c.redBelow || k > c.redAbove;
            ASSERT_EQ(band[static_cast<size_t>(k)].colour, red ? DialRed : DialBlack) << "dot " << k;
        }
        // Dots sit at R + 3 on a scale of 800 steps, a 2-pixel box.
        EXPECT_EQ((DialPoint{band[0].x1, band[0].y1}), dial.stepPoint(0, 800, dial.R() + 3));
        EXPECT_EQ(band[0].x2 - band[0].x1, 2);
    }
}

TEST(DialNeedle, VerticalAtDialCentreInEveryFamily)
{
    for (const char* name : {"4", "6", "34", "2"}) {
        SCOPED_TRACE(name);
        DialModel dial;
        const DialParams params = family(name);
        dial.KDrun(params.DialCentre, params);
        EXPECT_EQ(dial.NeedleTip.x, dial.NeedleBase.x);
        EXPECT_EQ(dial.NeedleTip.y, 34); // top of the arc, 4 pixels lower
        EXPECT_EQ(dial.NeedleBase.y, 393); // h + 280 + 30
    }
}

TEST(DialNeedle, PointsAtTheNumbersOfTheScale)
{
    struct Case {
        const char* family;
        bool frequency;
        int32_t position;
        int64_t step; // the numbered step of the face the needle should point at
        const char* text;
    };
    const Case cases[] = {
        {"4", false, 0, 0, "-40"},   {"4", false, 400, 40, "0"}, {"4", false, 800, 80, "40"},
        {"4", false, 600, 60, "20"}, {"6", false, 150, 15, "-45"}, {"34", false, 40, 4, "-30"},
        {"2", false, 350, 35, "15"}, {"4", true, -100, 0, "-50"}, {"4", true, 400, 50, "0"},
        {"4", true, 900, 100, "50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.family) + (c.frequency ? " frequency " : " ") + std::to_string(c.position));
        DialModel dial;
        const DialParams params = family(c.family, c.frequency);
        dial.KDsetup(params);
        const auto move = dial.KDrun(c.position, params);
        const DialPoint tip{move.draw.x1, move.draw.y1}, base{move.draw.x2, move.draw.y2};

        const int64_t n = c.frequency ? 100 : params.DialTicks;
        const DialPoint anchor = dial.stepPoint(c.step, n, dial.R() + 18);
        // The step carries the expected number: it is the text drawn nearest its anchor.
        const auto texts = itemsOf(dial.face(), DialItem::Kind::Text);
        const DialItem* nearest = nullptr;
        double best = 1e9;
        for (const auto& t : texts) {
            const double d = std::hypot(t.x1 - anchor.x, t.y1 - anchor.y);
            if (d < best) {
                best = d;
                nearest = &t;
            }
        }
        ASSERT_NE(nearest, nullptr);
        EXPECT_EQ(nearest->text, c.text);
        // The tip is the step's point on radius R, 4 pixels lower; the needle's line runs
        // from that point through the circle's centre (up to the rounding of the ends).
        const DialPoint onRadius = dial.stepPoint(c.step, n, dial.R());
        EXPECT_LE(std::abs(tip.x - onRadius.x), 1);
        EXPECT_LE(std::abs(tip.y - 4 - onRadius.y), 1);
        const DialPoint centre{static_cast<int>(dial.w() / 2 + 20), static_cast<int>(dial.R() + 30)};
        EXPECT_LT(distanceFromLine(centre, DialPoint{tip.x, tip.y - 4}, base), 1.5);
        EXPECT_LT(anchor.y, tip.y);
        EXPECT_EQ(move.draw.colour, DialBlack);
        EXPECT_EQ(move.draw.penWidth, 2);
    }
}

TEST(DialNeedle, EndsInPixelsOfFamily4)
{
    struct Case {
        int32_t position;
        DialPoint tip, base;
    };
    const Case cases[] = {
        {0, {20, 117}, {395, 393}},
        {400, {186, 34}, {186, 393}},
        {800, {351, 117}, {-24, 393}},
        // The base's x is -750.5 before the offset: halves round to even, to -750.
        {1003, {389, 206}, {-730, 393}},
    };
    for (const auto& c : cases) {
        DialModel dial;
        dial.KDrun(c.position, family("4"));
        EXPECT_EQ(dial.NeedleTip, c.tip) << c.position;
        EXPECT_EQ(dial.NeedleBase, c.base) << c.position;
    }
}

TEST(DialNeedle, FrequencyModeMapsMinus100To900OntoTheArc)
{
    DialModel normal, frequency;
    const DialParams n = family("4"), f = family("4", true);
    for (const auto& [freqPosition, normalPosition] : {std::pair{-100, 0}, {400, 400}, {900, 800}}) {
        frequency.KDrun(freqPosition, f);
        normal.KDrun(normalPosition, n);
        EXPECT_EQ(frequency.NeedleTip, normal.NeedleTip) << freqPosition;
        EXPECT_EQ(frequency.NeedleBase, normal.NeedleBase) << freqPosition;
    }
}

TEST(DialNeedle, EachMoveErasesThePreviousNeedleInWhite)
{
    DialModel dial;
    const DialParams params = family("4");
    const auto first = dial.KDrun(400, params);
    EXPECT_EQ(first.erase.kind, DialItem::Kind::Line);
    EXPECT_EQ((DialPoint{first.erase.x1, first.erase.y1}), (DialPoint{0, 0}));
    EXPECT_EQ((DialPoint{first.erase.x2, first.erase.y2}), (DialPoint{0, 0}));

    const auto second = dial.KDrun(123, params);
    DialItem expected = first.draw;
    expected.colour = DialWhite;
    EXPECT_EQ(second.erase, expected);

    // Redrawing the face keeps the needle's ends, so the next move erases the old line.
    dial.KDsetup(params);
    const auto third = dial.KDrun(700, params);
    EXPECT_EQ(third.erase.x1, second.draw.x1);
    EXPECT_EQ(third.erase.x2, second.draw.x2);
}

TEST(DialNeedle, FarPositionsPegTheNeedleWithFiniteEnds)
{
    struct Case {
        const char* family;
        bool frequency;
        int ticks; // overrides DialTicks when not 0
        int32_t position;
        bool right; // the needle pegs at the right end
    };
    const Case cases[] = {
        {"4", false, 0, INT32_MAX, true},      {"4", false, 0, INT32_MIN, false},
        {"4", false, 0, -INT32_MAX, false},    {"4", false, 0, 1076, true},
        {"4", false, 0, -276, false},          {"4", true, 0, INT32_MAX, true},
        {"4", true, 0, INT32_MIN, false},      {"2", false, 0, 5000, true},
        {"4", false, INT32_MAX, INT32_MAX, false}, // a tenth of a huge scale
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.position) + (c.frequency ? " frequency" : ""));
        DialParams params = family(c.family, c.frequency);
        if (c.ticks != 0)
            params.DialTicks = c.ticks;
        DialModel dial, pegged;
        dial.KDrun(c.position, params);
        EXPECT_LT(std::abs(dial.NeedleBase.x), 20000);
        EXPECT_LT(std::abs(dial.NeedleTip.x), 1000);
        EXPECT_LT(std::abs(dial.NeedleTip.y), 1000);
        EXPECT_EQ(dial.NeedleTip.x > 185, c.right);
        // Every position beyond the guard's angle gives the same pegged needle.
        pegged.KDrun(c.right ? 2'000'000'000 : -2'000'000'000, family(c.family, c.frequency));
        if (c.ticks == 0) {
            EXPECT_EQ(dial.NeedleTip, pegged.NeedleTip);
            EXPECT_EQ(dial.NeedleBase, pegged.NeedleBase);
        }
    }
    // Positions just inside the defined span are not touched by the guard.
    DialModel inside;
    const DialParams params = family("4");
    inside.KDrun(-250, params);
    DialModel further;
    further.KDrun(-260, params);
    EXPECT_NE(inside.NeedleBase, further.NeedleBase);
}

TEST(DialNeedle, ZeroTicksStayDefined)
{
    DialParams params = family("4");
    params.DialTicks = 0;
    params.DialCentre = 0;
    DialModel dial;
    dial.KDsetup(params);
    dial.KDrun(0, params);
    EXPECT_LT(std::abs(dial.NeedleBase.x), 20000);
    for (const auto& item : dial.face())
        EXPECT_LT(std::abs(item.x1), 1000);
}

} // namespace
} // namespace valdrin
