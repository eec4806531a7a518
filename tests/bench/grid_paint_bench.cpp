// Paint time of the reading grid as the window shows it (15 rows in view, the Unit
// column in glyphs): a whole paint of the grid, and what one reading costs the grid
// when it comes (its row appended, the current row moved to it, the grid's repaint).
// Figures only, no bound: the window's share of a core is scripts/bench-window's.
// Run: cmake --build build-release --target grid_paint_bench && build-release/tests/bench/grid_paint_bench
#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollBar>
#include <QStyleFactory>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "MedianMicros.h"
#include "record/ReadingTable.h"
#include "ui/ReadingGridModel.h"
#include "ui/UnitColumnDelegate.h"
#include "ui/WindowGridView.h"

using namespace valdrin;

namespace {

QFont pixelFont(const char* family, int pixels)
{
    QFont font(QString::fromLatin1(family));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

// DBGrid1 as the window builds it: its place, columns, fonts and colours.
void lookLikeTheWindow(ReadingGridView& grid)
{
    grid.resize(334, 281);
    const auto& widths = ReadingGridModel::columnWidths();
    for (int c = 0; c < ReadingGridModel::ColumnCount; ++c)
        grid.setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    grid.setFont(pixelFont("Liberation Sans", 12));
    grid.horizontalHeader()->setFont(pixelFont("Sans Serif", 11));
    QPalette palette = grid.palette();
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, QColor(192, 192, 192));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, Qt::black);
    grid.setPalette(palette);
    grid.setAutoFillBackground(true);
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(&grid);
        grid.verticalScrollBar()->setStyle(classic);
    }
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);

    ReadingTable table;
    int no = 0;
    const auto addReading = [&] {
        ++no;
        table.appendReading(no, 3600000 * 7 + 50 * no, no % 2 ? "DC" : "AC", no % 2 ? "1.2345" : "-0.5678",
                            no % 3 ? "V" : "k*", "AUTO");
    };
    for (int i = 0; i < 20; ++i)
        addReading();
    ReadingGridModel model(table, "%H:%M:%S");
    ReadingGridView grid;
    grid.setColumnDelegate(ReadingGridModel::UnitColumn, new UnitColumnDelegate(ReadingGridModel::UnitColumn, &grid));
    grid.setModel(&model);
    lookLikeTheWindow(grid);
    grid.show();
    grid.setCurrentRow(model.rowCount() - 1);
    QApplication::processEvents();

    const double whole = bench::medianMicros(400, [&] { (void)grid.viewport()->grab(); });
    std::printf("whole grid painted (15 rows of 6 cells): %8.1f us\n", whole);
    const double reading = bench::medianMicros(400, [&] {
        addReading();
        model.refresh();
        grid.setCurrentRow(model.rowCount() - 1);
        QApplication::processEvents();
    });
    std::printf("one reading (row appended, current row moved, grid repainted): %8.1f us\n", reading);
    return 0;
}
