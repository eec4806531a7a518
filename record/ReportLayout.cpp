#include "record/ReportLayout.h"

#include "record/TimeText.h"

#include <algorithm>

namespace valdrin {

namespace {

// The layout is computed in hundredths of a millimetre so that stacking bands adds
// no rounding: 35 detail bands of 6.61 fit, the 36th would reach into the footer.
using Hmm = long;
constexpr Hmm kPageHeight = 29700, kMargin = 1000, kBandWidth = 18997;
constexpr Hmm kHeaderHeight = 1323, kColumnHeaderHeight = 1323, kDetailHeight = 661, kFooterHeight = 1323;
constexpr Hmm kTitleWidth = 3545;
constexpr Hmm kDetailTop = kMargin + kHeaderHeight + kColumnHeaderHeight;
constexpr Hmm kFooterTop = kPageHeight - kMargin - kFooterHeight;

double mm(Hmm value) { return static_cast<double>(value) / 100.0; }

struct Placed {
    const char* name;
    Hmm left, top;
    ReportFont font;
};

constexpr Placed kColumnTitles[] = {
    {"RepLabel2", 847, 423, ReportFont::KelvoA2},   {"RepLabel3", 3387, 423, ReportFont::KelvoA2},
    {"RepLabel4", 6429, 423, ReportFont::Arial},    {"RepLabel5", 9948, 423, ReportFont::KelvoA2},
    {"RepLabel6", 13229, 423, ReportFont::KelvoA2}, {"RepLabel7", 16298, 423, ReportFont::KelvoA2}};
constexpr const char* kColumnTitleTexts[] = {"No", "Time", "DC/AC", "Value", "Unit", "AUTO"};

// Field texts of a detail band, in field order No, Time, DC/AC, Value, Unit, Auto.
constexpr Placed kDetailTexts[] = {
    {"RepDBText1", 847, 212, ReportFont::Arial},    {"RepDBText2", 3387, 212, ReportFont::Arial},
    {"RepDBText3", 6562, 212, ReportFont::Arial},   {"RepDBText4", 9948, 212, ReportFont::Arial},
    {"RepDBText5", 13123, 212, ReportFont::KelvoA2}, {"RepDBText6", 16298, 212, ReportFont::KelvoA2}};

ReportText placed(const Placed& at, Hmm bandTop, std::string text)
{
    ReportText out;
    out.name = at.name;
    out.xMm = mm(kMargin + at.left);
    out.yMm = mm(bandTop + at.top);
    out.text = std::move(text);
    out.font = at.font;
    return out;
}

ReportBand band(ReportBandKind kind, const char* name, Hmm top, Hmm height)
{
    return {kind, name, mm(kMargin), mm(top), mm(kBandWidth), mm(height), std::nullopt};
}

} // namespace

std::size_t reportRowsPerPage() { return static_cast<std::size_t>((kFooterTop - kDetailTop) / kDetailHeight); }

std::size_t reportPageCount(std::size_t rows) { return (rows + reportRowsPerPage() - 1) / reportRowsPerPage(); }

ReportPage layoutReportPage(const ReadingTable& table, std::size_t pageIndex, std::string_view longTimeFormat)
{
    ReportPage page;
    page.number = pageIndex + 1;

    page.bands.push_back(band(ReportBandKind::PageHeader, "PageHeaderBand1", kMargin, kHeaderHeight));
    ReportText title;
    title.name = "RepLabel1";
    title.xMm = mm(kMargin + (kBandWidth - kTitleWidth) / 2);  // the label centred across the band
    title.yMm = mm(kMargin + 212);
    title.widthMm = mm(kTitleWidth);
    title.text = "The Data Print Title";
    title.align = ReportAlign::Center;
    page.texts.push_back(title);

    const Hmm columnTop = kMargin + kHeaderHeight;
    page.bands.push_back(band(ReportBandKind::ColumnHeader, "ColumnHeaderBand1", columnTop, kColumnHeaderHeight));
    for (std::size_t i = 0; i < std::size(kColumnTitles); ++i)
        page.texts.push_back(placed(kColumnTitles[i], columnTop, kColumnTitleTexts[i]));

    const TimeOfDayFormat timeFormat(longTimeFormat);
    const std::size_t first = pageIndex * reportRowsPerPage();
    const std::size_t last = std::min(table.size(), first + reportRowsPerPage());
    Hmm top = kDetailTop;
    for (std::size_t row = first; row < last; ++row, top += kDetailHeight) {
        ReportBand detail = band(ReportBandKind::Detail, "DetailBand1", top, kDetailHeight);
        detail.row = row;
        page.bands.push_back(detail);
        const auto no = table.no(row);
        const auto time = table.timeMs(row);
        const std::string texts[] = {no ? std::to_string(*no) : std::string(),
                                     time ? timeFormat.format(*time) : std::string(),
                                     std::string(table.text(row, Field::DCAC)),
                                     std::string(table.text(row, Field::Value)),
                                     std::string(table.text(row, Field::Unit)),
                                     std::string(table.text(row, Field::Auto))};
        for (std::size_t f = 0; f < kFieldCount; ++f)
            page.texts.push_back(placed(kDetailTexts[f], top, texts[f]));
    }

    page.bands.push_back(band(ReportBandKind::PageFooter, "PageFooterBand1", kFooterTop, kFooterHeight));
    page.texts.push_back(placed({"RepLabel8", 847, 423, ReportFont::KelvoA2}, kFooterTop, "The Data Print Foot"));
    return page;
}

std::vector<ReportPage> layoutReport(const ReadingTable& table, std::string_view longTimeFormat)
{
    std::vector<ReportPage> pages;
    const std::size_t count = reportPageCount(table.size());
    pages.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        pages.push_back(layoutReportPage(table, i, longTimeFormat));
    return pages;
}

void renderReport(const std::vector<ReportPage>& pages, ReportPainter& painter)
{
    for (const ReportPage& page : pages) {
        painter.beginPage(page);
        for (const ReportText& text : page.texts)
            painter.drawText(text);
        painter.endPage();
    }
}

} // namespace valdrin
