// Building the print command's preview: the report of 10,000 rows (the default row
// limit, 286 pages) laid out and painted into Qt's preview widget must take under
// 2 seconds; 50,000 rows are shown for scale (the window shows a progress dialog
// with Cancel above 10,000 rows).
// Run: cmake --build build-release --target report_preview_bench && QT_QPA_PLATFORM=offscreen build-release/tests/bench/report_preview_bench
#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include <chrono>
#include <cstdio>
#include <string>

#include "ui/ReportPreview.h"

using namespace valdrin;

namespace {

ReadingTable tableOf(int32_t rows)
{
    ReadingTable table;
    for (int32_t i = 1; i <= rows; ++i)
        table.appendReading(i, (i % 86400) * 1000, i % 2 ? "DC" : "AC", std::to_string(i % 10000) + ".25", "m*",
                            "AUTO");
    return table;
}

// Seconds to build the preview's pages, and how many there are.
double buildSeconds(const ReadingTable& table, int& pages)
{
    QPrinter printer(QPrinter::HighResolution);
    prepareReportPrinter(printer);
    QPrintPreviewWidget preview(&printer);
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                     [&](QPrinter* target) { paintReport(table, table.size(), "%H:%M:%S", *target); });
    const auto start = std::chrono::steady_clock::now();
    preview.updatePreview();
    pages = preview.pageCount();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    bool ok = true;
    for (const int32_t rows : {10000, 50000}) {
        const ReadingTable table = tableOf(rows);
        int pages = 0;
        const double seconds = buildSeconds(table, pages);
        std::printf("%6d rows: %4d pages built in %.3f s\n", rows, pages, seconds);
        if (rows == 10000)
            ok = ok && seconds < 2.0;
    }
    std::printf("bound: 10000 rows under 2 s: %s\n", ok ? "met" : "MISSED");
    return ok ? 0 : 1;
}
