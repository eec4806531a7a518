// Paint time of the trend chart at its normal size, against the number of points
// the series hold: a page of 100 points must cost the same with 1,000 points as
// with 4,000,000, and all 4,000,000 on one page (points per page 0) about as much
// as a page of 1,000 points.
// Run: cmake --build build-release --target chart_paint_bench && build-release/tests/bench/chart_paint_bench
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "MedianMicros.h"
#include "chart/ChartModel.h"
#include "ui/ChartPainter.h"

using namespace valdrin;

namespace {

// A chart as the window holds it after `points` readings of a wandering signal.
ChartModel chartWith(size_t points, int32_t perPage)
{
    ChartModel model;
    model.setLeftAxis(-40000, 40000);
    model.prepare();
    std::minstd_rand random(1);
    int32_t v = 0;
    for (size_t i = 1; i < points; ++i) {
        v = std::clamp<int32_t>(v + static_cast<int32_t>(random() % 2001) - 1000, -40000, 40000);
        model.addPoint(ChartModel::LineSeries, v);
        model.addPoint(ChartModel::AreaSeries, v);
    }
    model.setPointsPerPage(perPage);
    model.BTlastClick();
    return model;
}

// Median time of one paint of the whole chart, microseconds.
double paintMicros(const ChartModel& model)
{
    QImage image(371, 309, QImage::Format_RGB32);
    QFont font("Liberation Sans");
    font.setPixelSize(11);
    font.setBold(true);
    return bench::medianMicros(200, [&] {
        QPainter painter(&image);
        painter.setFont(font);
        paintChart(painter, model, image.size());
    });
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);

    struct Case {
        const char* name;
        size_t points;
        int32_t perPage;
        double micros = 0;
    };
    Case cases[] = {
        {"100 a page, 1,000 points", 1'000, 100},
        {"100 a page, 4,000,000 points", 4'000'000, 100},
        {"all on one page, 1,000 points", 1'000, 0},
        {"all on one page, 4,000,000 points", 4'000'000, 0},
    };
    for (Case& c : cases) {
        const ChartModel model = chartWith(c.points, c.perPage);
        c.micros = paintMicros(model);
        std::printf("%-36s %9.1f us a paint (page %d of %d)\n", c.name, c.micros, model.page(), model.pageCount());
    }
    const double paged = cases[1].micros / cases[0].micros;
    const double whole = cases[3].micros / cases[2].micros;
    std::printf("100 a page, 4,000,000 against 1,000 points: %.2fx (bound 1.2x)\n", paged);
    std::printf("one page of 4,000,000 against one page of 1,000 points: %.2fx (bound 2x)\n", whole);
    std::printf("one page of 4,000,000 against a page of 100 of 1,000 points: %.2fx\n", cases[3].micros / cases[0].micros);
    const bool ok = paged <= 1.2 && whole <= 2.0;
    std::printf("%s\n", ok ? "within bounds" : "OUT OF BOUNDS");
    return ok ? 0 : 1;
}
