#include "ui/ReportPreview.h"

#include "record/ReportLayout.h"
#include "ui/ReportPdf.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace valdrin {

namespace {

// The page of the report over the first `rows` rows: the last page loses the detail
// bands (and their texts) of rows appended after the report was started.
ReportPage reportPage(const ReadingTable& table, std::size_t rows, std::size_t index, std::string_view longTimeFormat)
{
    ReportPage page = layoutReportPage(table, index, longTimeFormat);
    const auto later = [rows](const ReportBand& band) { return band.row && *band.row >= rows; };
    if (std::none_of(page.bands.begin(), page.bands.end(), later))
        return page;
    std::vector<ReportText> texts;
    for (const ReportText& text : page.texts) {
        const bool inLaterBand = std::any_of(page.bands.begin(), page.bands.end(), [&](const ReportBand& band) {
            return later(band) && text.yMm >= band.yMm && text.yMm < band.yMm + band.heightMm;
        });
        if (!inLaterBand)
            texts.push_back(text);
    }
    page.texts = std::move(texts);
    page.bands.erase(std::remove_if(page.bands.begin(), page.bands.end(), later), page.bands.end());
    return page;
}

} // namespace

void prepareReportPrinter(QPrinter& printer)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    printer.setFullPage(true);
    printer.setCopyCount(1);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPaperSource(QPrinter::Upper);
    printer.setDocName(QStringLiteral("The Data Print Title"));
}

bool paintReport(const ReadingTable& table, std::size_t rows, std::string_view longTimeFormat, QPrinter& printer,
                 const ReportProgress& progress)
{
    rows = std::min(rows, table.size());
    const std::size_t pages = reportPageCount(rows);
    if (pages == 0)
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The glyph texts are filled outlines: smoothed, they stay legible in the
    // preview's reduced pages too.
    painter.setRenderHint(QPainter::Antialiasing);
    QtReportPainter reportPainter(painter, printer);
    for (std::size_t i = 0; i < pages; ++i) {
        renderReport({reportPage(table, rows, i, longTimeFormat)}, reportPainter);
        if (progress && !progress(i + 1, pages)) {
            painter.end();
            return false;
        }
    }
    return painter.end();
}

std::optional<std::uint64_t> systemFreeMemory()
{
    std::ifstream meminfo("/proc/meminfo");
    const std::string key = "MemAvailable:";
    for (std::string line; std::getline(meminfo, line);)
        if (line.rfind(key, 0) == 0)
            return std::strtoull(line.c_str() + key.size(), nullptr, 10) * 1024;  // given in kB
    return std::nullopt;
}

bool ReportPreview::show(const ReadingTable& table, std::string_view longTimeFormat, Messages& messages)
{
    if (showing_ || table.empty())
        return false;
    showing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{showing_};
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    // The report covers the rows there are now; readings recorded while the preview
    // is open wait for the next report.
    const std::size_t rows = table.size();
    const std::string timeFormat(longTimeFormat);
    QPrinter printer(QPrinter::HighResolution);
    prepareReportPrinter(printer);
    QPrintPreviewDialog dialog(&printer, parent_);
    bool cancelled = false, closedUnseen = false, outOfMemory = false;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        cancelled = false;
        if (rows <= kRowsWithoutProgress) {
            paintReport(table, rows, timeFormat, *target);
            return;
        }
        QProgressDialog progress(QStringLiteral("Building the report pages..."), QStringLiteral("Cancel"), 0,
                                 static_cast<int>(reportPageCount(rows)), parent_);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        const bool whole = paintReport(table, rows, timeFormat, *target, [&](std::size_t page, std::size_t) {
            progress.setValue(static_cast<int>(page));
            if (page % kPagesPerMemoryCheck == 0 && freeMemory) {
                const std::optional<std::uint64_t> free = freeMemory();
                outOfMemory = free && *free < kMemoryReserve;
            }
            return !progress.wasCanceled() && !outOfMemory;
        });
        if (!whole && (progress.wasCanceled() || outOfMemory))
            cancelled = true;
    });
    // The first build happens as the dialog opens; a build cancelled there closes the
    // dialog before it is seen.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&] {
        if (!cancelled || dialog.isVisible())
            return;
        closedUnseen = true;
        dialog.setAttribute(Qt::WA_DontShowOnScreen, true);
        QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
    });
    dialog.exec();
    if (outOfMemory)
        messages.error(kOutOfMemoryText, "Error");
    return !closedUnseen;
}

} // namespace valdrin
