// The print command's preview through the window: its pages, one preview at a time,
// recording going on while it is open, no report of an empty table, Cancel while
// the pages of a large table are built; and the same painter's pages in a PDF file.
#include "WindowFixture.h"
#include "tests/support/CommandOutput.h"

#include "ui/ReportPreview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

using namespace valdrin;
using namespace valdrin::test;

namespace {

void fill(ReadingTable& table, int32_t rows)
{
    for (int32_t i = 1; i <= rows; ++i)
        table.appendReading(i, (14 * 3600 + i % 3600) * 1000, i % 2 ? "DC" : "AC", std::to_string(i) + ".25", "m*",
                            "AUTO");
}

// The preview dialogs open on the screen now.
std::vector<QPrintPreviewDialog*> openPreviews()
{
    std::vector<QPrintPreviewDialog*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QPrintPreviewDialog*>(w); d && d->isVisible()
                                                             && !d->testAttribute(Qt::WA_DontShowOnScreen))
            out.push_back(d);
    return out;
}

// Runs look() on the open preview from inside the print command, then closes it.
// Without a preview the command must return by itself.
struct PreviewWatch {
    int seen = 0;
    explicit PreviewWatch(std::function<void(QPrintPreviewDialog&)> look)
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this, look] {
            const auto previews = openPreviews();
            if (previews.empty())
                return;
            timer.stop();
            ++seen;
            look(*previews.front());
            previews.front()->reject();
        });
        timer.start();
    }
    QTimer timer;
};

int pageCount(QPrintPreviewDialog& dialog) { return dialog.findChild<QPrintPreviewWidget*>()->pageCount(); }

TEST(ReportPreview, AHundredRowsGiveThreePagesOnePreviewAtATimeWhileRecordingGoesOn)
{
    WindowFixture f;
    fill(f.core().cds1, 100);
    int pages = 0, pagesAfterReading = 0, previewsDuringSecondClick = 0;
    bool showingInside = false;
    PreviewWatch watch([&](QPrintPreviewDialog& dialog) {
        pages = pageCount(dialog);
        showingInside = f.window->Report1().showing();
        const QPrinter& printer = *dialog.printer();
        EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
        EXPECT_TRUE(printer.fullPage());
        EXPECT_EQ(printer.copyCount(), 1);
        EXPECT_EQ(printer.duplex(), QPrinter::DuplexNone);
        EXPECT_EQ(printer.printRange(), QPrinter::AllPages);

        // A second print command opens nothing and returns at once.
        f.window->BtPrintClick();
        previewsDuringSecondClick = static_cast<int>(openPreviews().size());

        // Readings are recorded while the preview is open; this report keeps its rows.
        f.zentor({"123451121"});
        pagesAfterReading = pageCount(dialog);
    });
    f.click("BtPrint");
    EXPECT_EQ(watch.seen, 1);
    EXPECT_EQ(pages, 3);
    EXPECT_TRUE(showingInside);
    EXPECT_EQ(previewsDuringSecondClick, 1);
    EXPECT_EQ(pagesAfterReading, 3);
    EXPECT_EQ(f.core().cds1.size(), 101u);
    EXPECT_FALSE(f.window->Report1().showing());
    EXPECT_TRUE(openPreviews().empty());
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_TRUE(f.messages.errors.empty());

    // The next report has the new row: 101 rows still fit on three pages.
    PreviewWatch again([&](QPrintPreviewDialog& dialog) { pages = pageCount(dialog); });
    f.click("BtPrint");
    EXPECT_EQ(again.seen, 1);
    EXPECT_EQ(pages, 3);
}

TEST(ReportPreview, AnEmptyTableAndTheHiddenPrintButtonOpenNothing)
{
    WindowFixture f;
    PreviewWatch watch([](QPrintPreviewDialog&) {});
    f.click("BtPrint");
    f.find<QAbstractButton>("Print")->click();
    fill(f.core().cds1, 3);
    f.find<QAbstractButton>("Print")->click();
    QApplication::processEvents();
    EXPECT_EQ(watch.seen, 0);
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(ReportPreview, CancelWhileTheManyPagesOfALargeTableAreBuiltReturnsWithNothingLost)
{
    WindowFixture f;
    fill(f.core().cds1, static_cast<int32_t>(ReportPreview::kRowsWithoutProgress) + 35 * 20);
    const std::vector<TableRow> before = {f.core().cds1.row(0), f.core().cds1.row(f.core().cds1.size() - 1)};
    int progressShown = 0;
    QTimer cancel;
    cancel.setInterval(5);
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->isVisible()) {
                ++progressShown;
                EXPECT_EQ(p->maximum(), 306);
                p->cancel();
                cancel.stop();
            }
    });
    cancel.start();
    PreviewWatch watch([](QPrintPreviewDialog&) {});
    f.click("BtPrint");
    EXPECT_EQ(progressShown, 1);
    EXPECT_EQ(watch.seen, 0) << "a cancelled report opened its preview";
    EXPECT_FALSE(f.window->Report1().showing());
    EXPECT_EQ(f.core().cds1.size(), ReportPreview::kRowsWithoutProgress + 700);
    EXPECT_EQ(f.core().cds1.row(0), before[0]);
    EXPECT_EQ(f.core().cds1.row(f.core().cds1.size() - 1), before[1]);
}

// The building stops when the system's free memory runs short: a message says so,
// no preview opens and the table stays whole.
TEST(ReportPreview, BuildingStopsWhenMemoryRunsShortWithNothingLost)
{
    EXPECT_GT(systemFreeMemory().value_or(0), 0u);
    WindowFixture f;
    fill(f.core().cds1, static_cast<int32_t>(ReportPreview::kRowsWithoutProgress) + 35 * 20);
    int asked = 0;
    f.window->Report1().freeMemory = [&asked]() -> std::optional<std::uint64_t> {
        return ++asked < 3 ? ReportPreview::kMemoryReserve * 4 : ReportPreview::kMemoryReserve - 1;
    };
    PreviewWatch watch([](QPrintPreviewDialog&) {});
    f.click("BtPrint");
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(watch.seen, 0);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].kind, "error");
    EXPECT_EQ(f.messages.shown[0].text, ReportPreview::kOutOfMemoryText);
    EXPECT_EQ(f.messages.shown[0].caption, "Error");
    EXPECT_FALSE(f.window->Report1().showing());
    EXPECT_EQ(f.core().cds1.size(), ReportPreview::kRowsWithoutProgress + 700);

    // With memory enough the same table's preview opens with all its pages.
    watch.timer.stop();
    f.window->Report1().freeMemory = [] { return std::optional<std::uint64_t>(ReportPreview::kMemoryReserve * 4); };
    int pages = 0;
    PreviewWatch again([&](QPrintPreviewDialog& dialog) { pages = pageCount(dialog); });
    f.click("BtPrint");
    EXPECT_EQ(pages, 306);
}

using test::commandOutput;

// The preview's painter on a printer that writes a PDF file: the report printed to a
// file. A report of the first 40 rows of a longer table ends with them.
TEST(ReportPreview, ThePreviewsPainterPrintsToAPdfFile)
{
    const std::string pdftotext = VALDRIN_PDFTOTEXT;
    if (pdftotext.empty() || pdftotext.find("NOTFOUND") != std::string::npos)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir folder;
    const QString pdf = folder.path() + QStringLiteral("/report.pdf");
    ReadingTable table;
    fill(table, 100);

    const struct {
        std::size_t rows;
        int pages;
        std::size_t lastPageRows;
    } cases[] = {{100, 3, 30}, {40, 2, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        QPrinter printer(QPrinter::HighResolution);
        prepareReportPrinter(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        ASSERT_TRUE(paintReport(table, c.rows, "%H:%M:%S", printer));
        const std::string file = pdf.toStdString();
        const std::string info = commandOutput("pdfinfo '" + file + "'");
        EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+" + std::to_string(c.pages) + "\n"))) << info;
        EXPECT_TRUE(std::regex_search(info, std::regex(R"(Page size:\s+595(\.\d+)? x 842? .*\(A4\))"))) << info;
        const std::string first = commandOutput(pdftotext + " -f 1 -l 1 '" + file + "' -");
        for (const char* text : {"DC/AC", "1.25", "35.25", "14:00:01"})
            EXPECT_NE(first.find(text), std::string::npos) << text;
        const std::string p = std::to_string(c.pages);
        const std::string last = commandOutput(pdftotext + " -f " + p + " -l " + p + " '" + file + "' -");
        const std::regex time(R"(14:0\d:\d\d)");
        EXPECT_EQ(static_cast<std::size_t>(std::distance(std::sregex_iterator(last.begin(), last.end(), time), {})),
                  c.lastPageRows);
        EXPECT_NE(last.find(std::to_string(c.rows) + ".25"), std::string::npos);
        EXPECT_EQ(last.find(std::to_string(c.rows + 1) + ".25"), std::string::npos);
    }
    ReadingTable empty;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.path() + QStringLiteral("/empty.pdf"));
    EXPECT_FALSE(paintReport(empty, 0, "%H:%M:%S", printer));
}

} // namespace
