// The grid's painting: cell texts drawn from the glyph table look as the text layout
// draws them (placed, kerned, cut at the cell's edge; what the table cannot stand for
// handed to the layout), and the current row's cells, the Unit column's too, are in
// the highlight colours while the others are not.
#include "ui/CellText.h"
#include "ui/ReadingGridModel.h"
#include "ui/UnitColumnDelegate.h"
#include "ui/WindowGridView.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <functional>

namespace valdrin {
namespace {

QFont cellFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

QImage painted(const std::function<void(QPainter&)>& paint)
{
    QImage image(90, 20, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    paint(painter);
    return image;
}

struct CellCase {
    const char* what;
    QString text;
    int flags;
    int width;
};

TEST(CellTextTest, LooksAsTheTextLayoutDrawsIt)
{
    const int right = Qt::AlignRight | Qt::AlignVCenter;
    const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const CellCase cases[] = {
        {"number", QStringLiteral("10000001"), left, 49},
        {"time", QStringLiteral("07:35:12"), centre, 56},
        {"value right-aligned", QStringLiteral("-0.5678"), right, 52},
        {"kerned pair AU", QStringLiteral("AUTO"), centre, 31},
        {"kerned pairs", QStringLiteral("Ty AV Wa"), left, 80},
        {"coupling", QStringLiteral("AC+DC"), centre, 40},
        {"Latin-1 letters", QString::fromLatin1("caf\xe9 \xb5s \xd7"), left, 80},
        {"too wide, cut on the right", QStringLiteral("-12345.678901"), left, 52},
        {"too wide, cut on the left", QStringLiteral("-12345.678901"), right, 52},
        {"too wide, cut on both sides", QStringLiteral("12:00:00 AM"), centre, 40},
        {"top-aligned", QStringLiteral("DC"), Qt::AlignLeft | Qt::AlignTop, 40},
        {"not in Latin-1", QString::fromUtf8("1 k\xce\xa9 \xe2\x82\xac"), left, 80},
        {"tab", QStringLiteral("a\tb"), left, 80},
        {"line break", QStringLiteral("1\n2"), left, 80},
        {"soft hyphen", QString::fromLatin1("ab\xad" "cd"), left, 80},
        {"mnemonic", QStringLiteral("&AUTO"), left | Qt::TextShowMnemonic, 80},
    };
    QFont underlined = cellFont();
    underlined.setUnderline(true);
    QFont spaced = cellFont();
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    QFont capitals = cellFont();
    capitals.setCapitalization(QFont::AllUppercase);
    QFont unkerned = cellFont();
    unkerned.setKerning(false);
    QFont label = cellFont();  // as the LCD panel's Arial labels
    label.setPixelSize(16);
    label.setBold(true);
    const QFont fonts[] = {cellFont(), label, underlined, spaced, capitals, unkerned};

    CellText cells;
    for (const QFont& font : fonts) {
        for (const CellCase& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " in " + font.toString().toStdString());
            const QRect rect(3, 1, c.width, 17);
            const QImage expected = painted([&](QPainter& p) {
                p.setFont(font);
                p.drawText(rect, c.flags, c.text);
            });
            ASSERT_NE(expected, painted([](QPainter&) {}));
            EXPECT_EQ(painted([&](QPainter& p) { cells.draw(p, rect, c.flags, c.text, font); }), expected);
        }
    }
}

TEST(CellTextTest, TakesThePensColourAndThePaintersPlace)
{
    const QFont font = cellFont();
    const QRect rect(2, 0, 60, 17);
    CellText cells;
    for (const QColor colour : {QColor(Qt::white), QColor(Qt::black), QColor(0, 128, 0)}) {
        SCOPED_TRACE(colour.name().toStdString());
        auto paint = [&](QPainter& p, const std::function<void(QPainter&)>& text) {
            p.fillRect(rect, QColor(0, 0, 128));
            p.setPen(colour);
            text(p);
        };
        const QImage expected = painted([&](QPainter& p) {
            paint(p, [&](QPainter& q) {
                q.setFont(font);
                q.drawText(rect, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("1.2345"));
            });
        });
        EXPECT_EQ(painted([&](QPainter& p) {
                      paint(p, [&](QPainter& q) {
                          cells.draw(q, rect, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("1.2345"), font);
                      });
                  }),
                  expected);
    }
    // Moved and enlarged painters: moved like the layout's text, enlarged by the layout.
    for (const QTransform& transform : {QTransform::fromTranslate(7, 2), QTransform::fromScale(2, 1.5)}) {
        auto paint = [&](const std::function<void(QPainter&)>& text) {
            return painted([&](QPainter& p) {
                p.setTransform(transform);
                text(p);
            });
        };
        EXPECT_EQ(paint([&](QPainter& p) { cells.draw(p, QRect(0, 0, 40, 10), Qt::AlignLeft, QStringLiteral("AUTO"), font); }),
                  paint([&](QPainter& p) {
                      p.setFont(font);
                      p.drawText(QRect(0, 0, 40, 10), Qt::AlignLeft, QStringLiteral("AUTO"));
                  }));
    }
}

// Pixels of a cell's inside near a colour (a line of text has several).
int near(const QImage& image, QRect area, const QColor& colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                     std::abs(c.blue() - colour.blue()) < 60;
        }
    return n;
}

TEST(ReadingGridPaintTest, CurrentRowInTheHighlightColoursAndTheOthersNot)
{
    ReadingTable table;
    for (int i = 1; i <= 4; ++i)
        table.appendReading(i, 3600000 * 7 + 1000 * i, "DC", "1.2345", "V", "AUTO");
    ReadingGridModel model(table, "%H:%M:%S");
    ReadingGridView grid;
    grid.resize(334, 160);
    grid.setColumnDelegate(ReadingGridModel::UnitColumn,
                           new UnitColumnDelegate(ReadingGridModel::UnitColumn, &grid));
    grid.setModel(&model);
    const auto& widths = ReadingGridModel::columnWidths();
    for (int c = 0; c < ReadingGridModel::ColumnCount; ++c)
        grid.setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    const QColor base(255, 255, 255), text(200, 0, 0), highlight(0, 0, 160), highlightedText(0, 220, 0),
        lines(128, 128, 0);
    QPalette palette = grid.palette();
    palette.setColor(QPalette::Mid, lines);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, highlightedText);
    grid.setPalette(palette);
    grid.show();

    // The newest row is drawn current, then again when the next reading takes the
    // highlight from it: both times in its own colours.
    for (const int current : {1, 2}) {
        SCOPED_TRACE(current);
        grid.setCurrentRow(current);
        QApplication::processEvents();
        const QImage image = grid.viewport()->grab().toImage();
        for (int row = 0; row < 4; ++row) {
            int x = 0;
            for (int column = 0; column < ReadingGridModel::ColumnCount; ++column) {
                SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
                const int width = widths[static_cast<std::size_t>(column)];
                const QRect inside(x + 1, row * ReadingGridView::kRowHeight + 1, width - 3,
                                   ReadingGridView::kRowHeight - 3);
                x += width;
                const bool isCurrent = row == current;
                EXPECT_GT(near(image, inside, isCurrent ? highlightedText : text), 2);
                EXPECT_EQ(near(image, inside, isCurrent ? text : highlightedText), 0);
                EXPECT_EQ(near(image, inside, isCurrent ? base : highlight), 0);
                // Edged on the right and at the bottom.
                const int bottom = (row + 1) * ReadingGridView::kRowHeight - 1;
                EXPECT_EQ(image.pixelColor(x - 1, bottom - 5), lines);
                EXPECT_EQ(image.pixelColor(x - 5, bottom), lines);
            }
        }
        // Below the last row, no cells and no lines.
        EXPECT_EQ(near(image, QRect(0, 4 * ReadingGridView::kRowHeight, image.width() - 1, 20), lines), 0);
    }
}

} // namespace
} // namespace valdrin
