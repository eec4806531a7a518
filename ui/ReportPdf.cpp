#include "ui/ReportPdf.h"

#include "ui/Glyphs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace valdrin {

namespace {

QFont arial(double sizePt)
{
    QFont font(QStringLiteral("Liberation Sans"));  // the metric twin of Arial
    font.setPointSizeF(sizePt);
    return font;
}

} // namespace

QtReportPainter::QtReportPainter(QPainter& painter, QPagedPaintDevice& device)
    : painter_(painter), device_(device), dotsPerMm_(device.logicalDpiX() / 25.4)
{
}

qreal QtReportPainter::toDevice(double mm) const { return mm * dotsPerMm_; }

void QtReportPainter::beginPage(const ReportPage&)
{
    if (!firstPage_)
        device_.newPage();
    firstPage_ = false;
    painter_.setPen(Qt::black);
}

void QtReportPainter::drawText(const ReportText& text)
{
    if (text.text.empty())
        return;
    const QPointF topLeft(toDevice(text.xMm), toDevice(text.yMm));
    if (text.font == ReportFont::Arial) {
        const QFont font = arial(text.sizePt);
        painter_.setFont(font);
        const QFontMetricsF metrics(font, &device_);
        const QString content = QString::fromLatin1(text.text.data(), static_cast<qsizetype>(text.text.size()));
        qreal x = topLeft.x();
        if (text.widthMm && text.align == ReportAlign::Center)
            x += (toDevice(*text.widthMm) - metrics.horizontalAdvance(content)) / 2;
        painter_.drawText(QPointF(x, topLeft.y() + metrics.ascent()), content);
        return;
    }
    // The glyph face is as high as the font's size: 10 pt is 10/72 inch.
    const qreal height = text.sizePt / 72.0 * 25.4 * dotsPerMm_;
    qreal x = topLeft.x();
    if (text.widthMm && text.align == ReportAlign::Center)
        x += (toDevice(*text.widthMm) - glyphTextWidth(GlyphFont::KelvoA2, height, text.text)) / 2;
    drawGlyphText(painter_, GlyphFont::KelvoA2, QPointF(x, topLeft.y()), height, text.text);
}

void QtReportPainter::endPage() {}

bool writeReportPdf(const std::vector<ReportPage>& pages, const QString& path)
{
    if (pages.empty())
        return false;
    QPdfWriter writer(path);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    writer.setResolution(1200);
    writer.setTitle(QStringLiteral("The Data Print Title"));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    QtReportPainter reportPainter(painter, writer);
    renderReport(pages, reportPainter);
    return painter.end();
}

} // namespace valdrin
