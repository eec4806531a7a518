// The printed report Report1 as a band layout in millimetres: on every A4 page the
// title band, the column titles, as many detail bands (one per table row) as fit
// above the page footer, and the footer. Plain data, drawn through ReportPainter so
// the preview and a PDF file show the same pages.
#pragma once

#include "record/ReadingTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace valdrin {

// Paper and bands, in millimetres.
inline constexpr double kReportPageWidthMm = 210.0;
inline constexpr double kReportPageHeightMm = 297.0;
inline constexpr double kReportMarginMm = 10.0;
inline constexpr double kReportBandWidthMm = 189.97;
inline constexpr double kReportTextSizePt = 10.0;

enum class ReportFont { KelvoA2, Arial };
enum class ReportAlign { Left, Center };

// One text of a band, placed on the page (millimetres from the paper's top left
// corner to the top left of the text's box).
struct ReportText {
    std::string name;  // the report element: RepLabel1 ... RepLabel8, RepDBText1 ... RepDBText6
    double xMm = 0;
    double yMm = 0;
    std::optional<double> widthMm;  // a box of fixed width; without it the box is sized to the text
    std::string text;
    ReportFont font = ReportFont::KelvoA2;
    double sizePt = kReportTextSizePt;
    ReportAlign align = ReportAlign::Left;
    bool operator==(const ReportText&) const = default;
};

enum class ReportBandKind { PageHeader, ColumnHeader, Detail, PageFooter };

struct ReportBand {
    ReportBandKind kind;
    std::string name;  // PageHeaderBand1, ColumnHeaderBand1, DetailBand1, PageFooterBand1
    double xMm, yMm, widthMm, heightMm;
    std::optional<std::size_t> row;  // the table row of a detail band
};

struct ReportPage {
    std::size_t number = 1;  // from 1
    std::vector<ReportBand> bands;  // top to bottom
    std::vector<ReportText> texts;  // band by band, in the bands' order
};

// Detail bands that fit on one page between the column titles and the footer.
std::size_t reportRowsPerPage();
// Pages for a table of this many rows; an empty table gives no report.
std::size_t reportPageCount(std::size_t rows);

// One page (index from 0); Time is shown in the long time format.
ReportPage layoutReportPage(const ReadingTable& table, std::size_t pageIndex, std::string_view longTimeFormat);
// Every page of the report.
std::vector<ReportPage> layoutReport(const ReadingTable& table, std::string_view longTimeFormat);

// Where the pages are drawn: the preview's printer or a PDF file.
class ReportPainter {
public:
    virtual ~ReportPainter() = default;
    virtual void beginPage(const ReportPage& page) = 0;
    virtual void drawText(const ReportText& text) = 0;
    virtual void endPage() = 0;
};

void renderReport(const std::vector<ReportPage>& pages, ReportPainter& painter);

} // namespace valdrin
