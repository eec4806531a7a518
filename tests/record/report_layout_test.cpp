// The report's pages: bands, texts with their places and fonts, and pagination.
#include "record/ReportLayout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace valdrin {
namespace {

ReadingTable rows(int32_t count)
{
    ReadingTable table;
    for (int32_t i = 1; i <= count; ++i)
        table.appendReading(i, (14 * 3600 + i) * 1000, "DC", std::to_string(i) + ".5", "k*", i % 2 ? "AUTO" : "MANU");
    return table;
}

// Draws nothing; keeps what it was asked to draw, page by page.
class RecordingPainter : public ReportPainter {
public:
    void beginPage(const ReportPage& page) override
    {
        EXPECT_FALSE(open);
        open = true;
        pages.push_back({page.number, {}});
    }
    void drawText(const ReportText& text) override
    {
        ASSERT_TRUE(open);
        pages.back().second.push_back(text);
    }
    void endPage() override
    {
        EXPECT_TRUE(open);
        open = false;
    }
    bool open = false;
    std::vector<std::pair<std::size_t, std::vector<ReportText>>> pages;
};

const ReportText* find(const ReportPage& page, const std::string& name, std::size_t nth = 0)
{
    for (const ReportText& t : page.texts)
        if (t.name == name && nth-- == 0)
            return &t;
    return nullptr;
}

TEST(ReportLayoutTest, AHundredRowsFillThreePagesOfThirtyFiveDetailBands)
{
    const std::vector<ReportPage> pages = layoutReport(rows(100), "%H:%M:%S");
    ASSERT_EQ(pages.size(), 3u);
    const std::size_t expectedDetails[] = {35, 35, 30};
    std::size_t nextRow = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const ReportPage& page = pages[p];
        EXPECT_EQ(page.number, p + 1);
        ASSERT_EQ(page.bands.size(), expectedDetails[p] + 3);
        EXPECT_EQ(page.bands.front().name, "PageHeaderBand1");
        EXPECT_EQ(page.bands[1].name, "ColumnHeaderBand1");
        EXPECT_EQ(page.bands.back().name, "PageFooterBand1");
        EXPECT_DOUBLE_EQ(page.bands.front().yMm, 10.0);
        EXPECT_NEAR(page.bands.back().yMm, 297.0 - 10.0 - 13.23, 1e-9);  // the footer sits on the bottom margin
        double top = 10.0;
        for (const ReportBand& band : page.bands) {
            if (band.kind != ReportBandKind::PageFooter) {
                EXPECT_NEAR(band.yMm, top, 1e-9) << band.name;  // bands follow one another
            }
            top = band.yMm + band.heightMm;
            EXPECT_DOUBLE_EQ(band.widthMm, 189.97);
            EXPECT_DOUBLE_EQ(band.xMm, 10.0);
            if (band.kind == ReportBandKind::Detail) {
                EXPECT_DOUBLE_EQ(band.heightMm, 6.61);
                EXPECT_EQ(band.row, nextRow++);
                EXPECT_LE(band.yMm + band.heightMm, page.bands.back().yMm + 1e-9);
            }
        }
        // Every page repeats the title, the column titles and the footer.
        ASSERT_NE(find(page, "RepLabel1"), nullptr);
        ASSERT_NE(find(page, "RepLabel7"), nullptr);
        ASSERT_NE(find(page, "RepLabel8"), nullptr);
        EXPECT_EQ(page.texts.size(), 1 + 6 + 6 * expectedDetails[p] + 1);
    }
    EXPECT_EQ(nextRow, 100u);
    // A 36th band on page one would reach into the footer.
    const ReportBand& lastDetail = pages[0].bands[pages[0].bands.size() - 2];
    EXPECT_GT(lastDetail.yMm + 2 * 6.61, pages[0].bands.back().yMm);
}

TEST(ReportLayoutTest, AnEmptyTableProducesNoReport)
{
    EXPECT_TRUE(layoutReport(ReadingTable(), "%H:%M:%S").empty());
    EXPECT_EQ(reportPageCount(0), 0u);
    EXPECT_EQ(reportPageCount(35), 1u);
    EXPECT_EQ(reportPageCount(36), 2u);
}

struct Placement {
    const char* name;
    std::size_t nth;  // which detail band
    const char* text;
    double x, y;
    ReportFont font;
};

class ReportTextTest : public ::testing::TestWithParam<Placement> {};

TEST_P(ReportTextTest, StandsAtItsPlaceInItsFont)
{
    const ReportPage page = layoutReportPage(rows(100), 1, "%H:%M:%S");
    const Placement& want = GetParam();
    const ReportText* text = find(page, want.name, want.nth);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, want.text);
    EXPECT_NEAR(text->xMm, want.x, 1e-9);
    EXPECT_NEAR(text->yMm, want.y, 1e-9);
    EXPECT_EQ(text->font, want.font);
    EXPECT_DOUBLE_EQ(text->sizePt, 10.0);
}

// Page two: the details start with row 36 (No 36), the bands at 10 + 13.23 + 13.23.
constexpr double kDetail0 = 10 + 13.23 + 13.23 + 2.12;
constexpr double kDetail1 = kDetail0 + 6.61;
constexpr double kColumns = 10 + 13.23 + 4.23;
constexpr double kFooter = 297 - 10 - 13.23 + 4.23;

INSTANTIATE_TEST_SUITE_P(
    Page2, ReportTextTest,
    ::testing::Values(Placement{"RepLabel1", 0, "The Data Print Title", 10 + (189.97 - 35.45) / 2, 12.12, ReportFont::KelvoA2},
                      Placement{"RepLabel2", 0, "No", 18.47, kColumns, ReportFont::KelvoA2},
                      Placement{"RepLabel3", 0, "Time", 43.87, kColumns, ReportFont::KelvoA2},
                      Placement{"RepLabel4", 0, "DC/AC", 74.29, kColumns, ReportFont::Arial},
                      Placement{"RepLabel5", 0, "Value", 109.48, kColumns, ReportFont::KelvoA2},
                      Placement{"RepLabel6", 0, "Unit", 142.29, kColumns, ReportFont::KelvoA2},
                      Placement{"RepLabel7", 0, "AUTO", 172.98, kColumns, ReportFont::KelvoA2},
                      Placement{"RepDBText1", 0, "36", 18.47, kDetail0, ReportFont::Arial},
                      Placement{"RepDBText2", 0, "14:00:36", 43.87, kDetail0, ReportFont::Arial},
                      Placement{"RepDBText3", 0, "DC", 75.62, kDetail0, ReportFont::Arial},
                      Placement{"RepDBText4", 0, "36.5", 109.48, kDetail0, ReportFont::Arial},
                      Placement{"RepDBText5", 0, "k*", 141.23, kDetail0, ReportFont::KelvoA2},
                      Placement{"RepDBText6", 0, "MANU", 172.98, kDetail0, ReportFont::KelvoA2},
                      Placement{"RepDBText6", 1, "AUTO", 172.98, kDetail1, ReportFont::KelvoA2},
                      Placement{"RepLabel8", 0, "The Data Print Foot", 18.47, kFooter, ReportFont::KelvoA2}),
    [](const auto& test) { return std::string(test.param.name) + "_" + std::to_string(test.param.nth); });

TEST(ReportLayoutTest, OnlyTheTitleHasAFixedCentredBox)
{
    const ReportPage page = layoutReportPage(rows(1), 0, "%H:%M:%S");
    for (const ReportText& text : page.texts) {
        if (text.name == "RepLabel1") {
            EXPECT_EQ(text.widthMm, 35.45);
            EXPECT_EQ(text.align, ReportAlign::Center);
        } else {
            EXPECT_FALSE(text.widthMm) << text.name;  // sized to the text
            EXPECT_EQ(text.align, ReportAlign::Left) << text.name;
        }
    }
}

TEST(ReportLayoutTest, NullFieldsShowNothingAndTimeFollowsTheLongTimeFormat)
{
    ReadingTable table;
    table.append(TableRow{});
    table.appendReading(2, (15 * 3600 + 4 * 60 + 5) * 1000, "AC", "1", "uA", "AUTO");
    const ReportPage page = layoutReportPage(table, 0, "%I:%M:%S %p");
    EXPECT_EQ(find(page, "RepDBText1", 0)->text, "");
    EXPECT_EQ(find(page, "RepDBText2", 0)->text, "");
    EXPECT_EQ(find(page, "RepDBText2", 1)->text, "03:04:05 PM");
    EXPECT_EQ(find(page, "RepDBText5", 1)->text, "uA");
}

TEST(ReportLayoutTest, RenderingHandsEveryPageAndTextToThePainterInOrder)
{
    const std::vector<ReportPage> pages = layoutReport(rows(40), "%H:%M:%S");
    RecordingPainter painter;
    renderReport(pages, painter);
    ASSERT_EQ(painter.pages.size(), 2u);
    EXPECT_FALSE(painter.open);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(painter.pages[p].first, p + 1);
        EXPECT_EQ(painter.pages[p].second, pages[p].texts);
    }
    // The unit column of the last row of page two, in the glyph font.
    const ReportText& unit = painter.pages[1].second[1 + 6 + 6 * 4 + 4];
    EXPECT_EQ(unit.name, "RepDBText5");
    EXPECT_EQ(unit.font, ReportFont::KelvoA2);
    EXPECT_NEAR(unit.yMm, kDetail0 + 4 * 6.61, 1e-9);
}

} // namespace
} // namespace valdrin
