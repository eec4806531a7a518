// The printed report drawn with QPainter: on the preview's printer or into a PDF file.
// Arial texts are real text (Liberation Sans); KELVO-A2 texts are glyph outlines.
#pragma once

#include "record/ReportLayout.h"

#include <QString>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace valdrin {

// Draws report pages on a paged device whose page is the whole A4 sheet (no device
// margins: the layout keeps its own 10 mm). The painter must be active on the device.
class QtReportPainter : public ReportPainter {
public:
    QtReportPainter(QPainter& painter, QPagedPaintDevice& device);
    void beginPage(const ReportPage& page) override;
    void drawText(const ReportText& text) override;
    void endPage() override;

private:
    qreal toDevice(double mm) const;

    QPainter& painter_;
    QPagedPaintDevice& device_;
    qreal dotsPerMm_;
    bool firstPage_ = true;
};

// Writes the pages to an A4 PDF file; false when there is nothing to write (an empty
// table gives no report) or the file cannot be written.
bool writeReportPdf(const std::vector<ReportPage>& pages, const QString& path);

} // namespace valdrin
