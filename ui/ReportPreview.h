// The print command's report Report1 in Qt Print Support's preview dialog: the
// reading table laid out in bands page by page and painted by the report painter
// onto the preview's printer, from which the user pages, zooms and prints (to any
// printer or a PDF file).
#pragma once

#include "base/Edges.h"
#include "record/ReadingTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <functional>
#include <string>
#include <string_view>

class QPrinter;
class QWidget;

namespace valdrin {

// The report's printer settings: A4 portrait with 10 mm margins, painted from the
// paper's corner (the band layout keeps its own margins), 1 copy, no duplex, all
// pages, the first paper tray.
void prepareReportPrinter(QPrinter& printer);

// Asked after each page with the pages done and the pages in all; false cancels.
using ReportProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Paints the report of the table's first `rows` rows onto the printer, one page laid
// out at a time (a report of millions of rows is never held whole). Rows appended
// after them are not part of this report. False when cancelled, when there is no row
// (an empty table gives no report) or the printer cannot be painted on.
bool paintReport(const ReadingTable& table, std::size_t rows, std::string_view longTimeFormat, QPrinter& printer,
                 const ReportProgress& progress = {});

// MemAvailable of /proc/meminfo.
std::optional<std::uint64_t> systemFreeMemory();

class ReportPreview {
public:
    // Reports of more rows than this show their page building with a Cancel button.
    static constexpr std::size_t kRowsWithoutProgress = 10000;

    // The preview keeps every page it built (about 0.4 MB each): the building stops
    // before the system's free memory falls under this reserve, so that a table of
    // millions of rows cannot take the program, and its unsaved rows, down.
    static constexpr std::uint64_t kMemoryReserve = std::uint64_t{512} << 20;
    static constexpr std::size_t kPagesPerMemoryCheck = 32;
    static constexpr const char* kOutOfMemoryText = "Not enough memory to preview the whole report.";

    explicit ReportPreview(QWidget* parent) : parent_(parent) {}

    // BtPrintClick's preview: builds the report of the table's rows as they are now
    // and shows it; returns when the preview is closed (the event loop runs meanwhile,
    // so readings go on being recorded). Does nothing for an empty table or while a
    // preview is showing. False when no preview was shown (after Cancel, or when
    // memory ran short, which is said in an error message).
    bool show(const ReadingTable& table, std::string_view longTimeFormat, Messages& messages);
    bool showing() const { return showing_; }

    // Bytes of memory the system can still give; nothing when unknown. Tests replace it.
    std::function<std::optional<std::uint64_t>()> freeMemory = systemFreeMemory;

private:
    QWidget* parent_;
    bool showing_ = false;
};

} // namespace valdrin
