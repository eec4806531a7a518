// The glyph faces: every character the meter's texts use has a drawing, the digit
// face lights the right segments, sizes follow the pixel height.
#include "ui/Glyphs.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace valdrin {
namespace {

// Renders a text black on white and tells whether the pixel at (x, y) is dark.
class Rendered {
public:
    Rendered(GlyphFont font, std::string_view text, int height)
        : image(static_cast<int>(glyphTextWidth(font, height, text)) + 4, height + 4, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::black);
        drawGlyphText(painter, font, QPointF(0, 0), height, text);
    }
    bool dark(qreal x, qreal y) const { return qGray(image.pixel(static_cast<int>(x), static_cast<int>(y))) < 128; }
    int darkPixels() const
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += dark(x, y);
        return n;
    }
    QImage image;
};

TEST(GlyphsTest, TheSymbolFaceDrawsEveryCharacterOfTheMetersTexts)
{
    const std::string_view characters = "+*%\"!$)&#?(MmkunVAFHzCDUTORSPW0123456789.-";
    for (const char c : characters) {
        EXPECT_TRUE(hasGlyph(GlyphFont::KelvoA2, c)) << c;
        EXPECT_FALSE(glyphPath(GlyphFont::KelvoA2, c).isEmpty()) << c;
    }
    for (char c = 'A'; c <= 'Z'; ++c)
        EXPECT_FALSE(glyphPath(GlyphFont::KelvoA2, c).isEmpty()) << c;
    for (char c = 'a'; c <= 'z'; ++c)
        EXPECT_FALSE(glyphPath(GlyphFont::KelvoA2, c).isEmpty()) << c;
    // The symbols are drawings of their own, not the letters they stand for.
    EXPECT_NE(glyphPath(GlyphFont::KelvoA2, '*'), glyphPath(GlyphFont::KelvoA2, 'O'));
    EXPECT_NE(glyphPath(GlyphFont::KelvoA2, '+'), glyphPath(GlyphFont::KelvoA2, 'u'));
    EXPECT_TRUE(glyphPath(GlyphFont::KelvoA2, ' ').isEmpty());
}

struct Digit {
    char c;
    const char* segments;  // lit segments among a..g
};

class SevenSegmentTest : public ::testing::TestWithParam<Digit> {};

// Samples the middle of each segment of a 100-pixel digit.
TEST_P(SevenSegmentTest, LightsItsSegments)
{
    const Rendered digit(GlyphFont::KelvoA3, std::string(1, GetParam().c), 100);
    const std::pair<char, QPointF> probes[] = {{'a', {19, 18}}, {'b', {32, 36}}, {'c', {32, 74}}, {'d', {19, 92}},
                                               {'e', {6, 74}},  {'f', {6, 36}},  {'g', {19, 55}}};
    const std::string lit = GetParam().segments;
    for (const auto& [segment, at] : probes)
        EXPECT_EQ(digit.dark(at.x(), at.y()), lit.find(segment) != std::string::npos)
            << "'" << GetParam().c << "' segment " << segment;
}

INSTANTIATE_TEST_SUITE_P(Digits, SevenSegmentTest,
                         ::testing::Values(Digit{'0', "abcdef"}, Digit{'1', "bc"}, Digit{'2', "abdeg"},
                                           Digit{'3', "abcdg"}, Digit{'4', "bcfg"}, Digit{'5', "acdfg"},
                                           Digit{'6', "acdefg"}, Digit{'7', "abc"}, Digit{'8', "abcdefg"},
                                           Digit{'9', "abcdfg"}, Digit{'-', "g"}, Digit{'@', "def"},
                                           Digit{'A', "abcefg"}, Digit{'B', "cdefg"}, Digit{'C', "adef"},
                                           Digit{'D', "bcdeg"}, Digit{'E', "adefg"}, Digit{'F', "aefg"},
                                           Digit{' ', ""}),
                         [](const ::testing::TestParamInfo<Digit>& p) {
                             switch (p.param.c) {
                             case '-': return std::string("Minus");
                             case '@': return std::string("OverloadL");
                             case ' ': return std::string("Blank");
                             default: return std::string("Char") + p.param.c;
                             }
                         });

TEST(GlyphsTest, AnEmptyTextDrawsNothing)
{
    EXPECT_EQ(Rendered(GlyphFont::KelvoA3, "", 100).darkPixels(), 0);
    EXPECT_EQ(Rendered(GlyphFont::KelvoA2, "", 24).darkPixels(), 0);
    EXPECT_EQ(glyphTextWidth(GlyphFont::KelvoA2, 24, ""), 0);
}

TEST(GlyphsTest, SizeFollowsThePixelHeight)
{
    // A digit is as wide as the LCD's digit labels: 38 pixels at a height of 100.
    EXPECT_DOUBLE_EQ(glyphTextWidth(GlyphFont::KelvoA3, 100, "8"), 38);
    EXPECT_DOUBLE_EQ(glyphTextWidth(GlyphFont::KelvoA2, 48, "mV"), 2 * glyphTextWidth(GlyphFont::KelvoA2, 24, "mV"));
    const QRectF small = glyphTextPath(GlyphFont::KelvoA2, 24, "AUTO").boundingRect();
    const QRectF large = glyphTextPath(GlyphFont::KelvoA2, 48, "AUTO").boundingRect();
    EXPECT_NEAR(large.height(), 2 * small.height(), 1e-6);
    EXPECT_LE(large.bottom(), 48.0);
    EXPECT_GE(large.top(), 0.0);
    EXPECT_LE(large.right(), glyphTextWidth(GlyphFont::KelvoA2, 48, "AUTO"));
}

TEST(GlyphsTest, BoldDrawsHeavierStrokes)
{
    EXPECT_GT(glyphTextPath(GlyphFont::KelvoA2, 20, "AC", true).boundingRect().width(),
              glyphTextPath(GlyphFont::KelvoA2, 20, "AC").boundingRect().width());
}

TEST(GlyphsTest, TextIsDrawnInThePensColourAtItsPlace)
{
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::red);
    drawGlyphText(painter, GlyphFont::KelvoA2, QPointF(30, 10), 24, "V");
    painter.end();
    int red = 0, leftOfText = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c != Qt::white) {
                red += c.red() > 200 && c.green() < 100;
                leftOfText += x < 29;
            }
        }
    EXPECT_GT(red, 10);
    EXPECT_EQ(leftOfText, 0);
}

} // namespace
} // namespace valdrin
