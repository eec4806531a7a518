// The report written to a PDF file: its pages, the texts on each page and where the
// real-text ones stand, read back with poppler's pdftotext.
#include "ui/ReportPdf.h"
#include "tests/support/CommandOutput.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

namespace valdrin {
namespace {

using test::commandOutput;

std::string pdftotext() { return VALDRIN_PDFTOTEXT; }

class ReportPdfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (pdftotext().empty() || pdftotext().find("NOTFOUND") != std::string::npos)
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(folder.isValid());
        pdf = (folder.path() + "/report.pdf").toStdString();
    }
    std::string pageText(int page, const char* options = "") const
    {
        return commandOutput(pdftotext() + " " + options + " -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                   pdf + "' -");
    }

    QTemporaryDir folder;
    std::string pdf;
};

ReadingTable hundredRows()
{
    ReadingTable table;
    for (int32_t i = 1; i <= 100; ++i)
        table.appendReading(i, (14 * 3600 + i) * 1000, i % 2 ? "DC" : "AC", std::to_string(i) + ".25", "m*", "AUTO");
    return table;
}

std::size_t count(const std::string& text, const std::regex& pattern)
{
    return static_cast<std::size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), {}));
}

TEST_F(ReportPdfTest, AHundredRowsGiveThreePagesWithTheirRowsInOrder)
{
    ASSERT_TRUE(writeReportPdf(layoutReport(hundredRows(), "%H:%M:%S"), QString::fromStdString(pdf)));
    const std::string info = commandOutput("pdfinfo '" + pdf + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(Pages:\s+3\n)"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(Page size:\s+595(\.\d+)? x 842? .*\(A4\))"))) << info;

    const std::size_t firstRow[] = {1, 36, 71}, rowsOnPage[] = {35, 35, 30};
    const std::regex time(R"(14:0\d:\d\d)");
    for (int page = 1; page <= 3; ++page) {
        const std::string text = pageText(page);
        EXPECT_EQ(count(text, time), rowsOnPage[page - 1]) << "page " << page;
        EXPECT_EQ(count(text, std::regex("DC/AC")), 1u) << "page " << page;  // the Arial column title
        // The first and the last row of the page, and the row before it is not here.
        const std::size_t first = firstRow[page - 1], last = first + rowsOnPage[page - 1] - 1;
        for (const std::size_t no : {first, last})
            EXPECT_NE(text.find(std::to_string(no) + ".25"), std::string::npos) << "page " << page << " row " << no;
        if (first > 1) {
            EXPECT_EQ(text.find(" " + std::to_string(first - 1) + ".25"), std::string::npos) << "page " << page;
        }
    }
}

// Word boxes in points: a text of the layout at x mm stands at x / 25.4 * 72.
TEST_F(ReportPdfTest, RealTextStandsWhereTheLayoutPutsIt)
{
    ASSERT_TRUE(writeReportPdf(layoutReport(hundredRows(), "%H:%M:%S"), QString::fromStdString(pdf)));
    const std::string boxes = pageText(1, "-bbox");
    auto xMinOf = [&](const std::string& word) {
        const std::regex box("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>" + word + "</word>");
        std::smatch m;
        EXPECT_TRUE(std::regex_search(boxes, m, box)) << word;
        return m.empty() ? std::pair{-1.0, -1.0} : std::pair{std::stod(m[1]), std::stod(m[2])};
    };
    const double pt = 72.0 / 25.4;
    const auto title = xMinOf("DC/AC");
    EXPECT_NEAR(title.first, 74.29 * pt, 1.0);
    EXPECT_NEAR(title.second, (10 + 13.23 + 4.23) * pt, 2.0);
    const auto firstNo = xMinOf("1");
    EXPECT_NEAR(firstNo.first, 18.47 * pt, 1.0);
    EXPECT_NEAR(firstNo.second, (10 + 13.23 + 13.23 + 2.12) * pt, 2.0);
    const auto firstValue = xMinOf("1\\.25");
    EXPECT_NEAR(firstValue.first, 109.48 * pt, 1.0);
    const auto secondTime = xMinOf("14:00:02");
    EXPECT_NEAR(secondTime.first, 43.87 * pt, 1.0);
    EXPECT_NEAR(secondTime.second, (10 + 13.23 + 13.23 + 2.12 + 6.61) * pt, 2.0);
}

TEST_F(ReportPdfTest, AnEmptyTableWritesNoReport)
{
    EXPECT_FALSE(writeReportPdf(layoutReport(ReadingTable(), "%H:%M:%S"), QString::fromStdString(pdf)));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
}

} // namespace
} // namespace valdrin
