// The chart Chtshow on the offscreen platform: start state, series and colours,
// the tool row's handlers, paging, enlarging, and the picture saved as a bitmap.
#include "ui/ChartView.h"

#include "tests/support/CoreFixture.h"
#include "ui/ChartPainter.h"
#include "ui/ChartPicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using namespace valdrin;
using namespace valdrin::test;

namespace {

constexpr QRgb Azure = qRgb(0, 128, 255);       // 16744448
constexpr QRgb LightYellow = qRgb(255, 255, 128); // 8454143
constexpr QRgb SpringGreen = qRgb(128, 255, 0);   // 65408
constexpr QRgb DarkBlue = qRgb(0, 64, 128);       // 8404992
constexpr QRgb PaleBlue = qRgb(192, 221, 248);    // 16309696
constexpr QRgb White = qRgb(255, 255, 255);

struct ChartFixture {
    CoreFixture f;
    ScriptedFileDialogs dialogs;
    QWidget window;
    ChartView* chart;
    QWidget* dial; // a sibling the enlarged chart lies over

    ChartFixture()
    {
        window.resize(711, 485);
        chart = new ChartView(f.core, f.messages, dialogs, &window);
        dial = new QWidget(&window);
        dial->setGeometry(337, 28, 371, 143);
    }
    template <class T = QToolButton>
    T* child(const char* name) const
    {
        T* w = chart->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    const ChartModel& model() const { return f.core.S.chart; }
    // Frames of 2.0000 V (the chart value 20000) as the meter sends them.
    void frames(int count, const char* frame = "200001121")
    {
        for (int i = 0; i < count; ++i)
            f.zentor({frame});
        chart->refresh();
    }
    QImage shot() const { return chart->grab().toImage(); }
    ChartLayout layout() const { return chartLayout(chart->size(), QFontMetrics(chart->font())); }
    int row(double value) const
    {
        const QRect plot = layout().plot;
        const double span = model().leftAxisMaximum() - model().leftAxisMinimum();
        return static_cast<int>(std::lround(plot.bottom() - (value - model().leftAxisMinimum()) * (plot.height() - 1) / span));
    }
};

TEST(ChartView, StartState)
{
    ChartFixture c;
    EXPECT_EQ(c.chart->objectName(), "Chtshow");
    EXPECT_EQ(c.chart->geometry(), QRect(336, 172, 371, 309));
    EXPECT_EQ(c.model().leftAxisMinimum(), -40000);
    EXPECT_EQ(c.model().leftAxisMaximum(), 40000);
    EXPECT_TRUE(c.model().seriesVisible(ChartModel::AreaSeries));
    EXPECT_FALSE(c.model().seriesVisible(ChartModel::LineSeries));

    // The tool row, left to right, with captions or hints as names for assistive tools.
    struct Control {
        const char* name;
        QString accessible, hint;
    };
    const Control row[] = {{"Bevel1", "", ""},         {"Maxrecord", "100", ""},      {"BtNew", "New", "New"},
                           {"BtSave", "Save", "Save"}, {"BtFirst", "First", "First"}, {"BTPrevious", "Previous", "Previous"},
                           {"Bt10", "Page No.", "Page No."}, {"BtNext", "Next", "Next"}, {"BTlast", "last", "last"},
                           {"TbFd", "Graphic Enlarge", "Graphic Enlarge"}};
    int left = -1;
    for (const Control& r : row) {
        auto* w = c.child<QWidget>(r.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), c.chart) << r.name;
        EXPECT_GT(w->x(), left) << r.name;
        EXPECT_LT(w->y(), ChartToolRowHeight) << r.name;
        left = w->x();
        EXPECT_EQ(w->accessibleName(), r.accessible) << r.name;
        EXPECT_EQ(w->toolTip(), r.hint) << r.name;
        EXPECT_TRUE(w->isEnabled()) << r.name;
    }
    auto* fill = c.child<QCheckBox>("BtFill");
    EXPECT_EQ(fill->parentWidget()->objectName(), "Bevel1");
    EXPECT_EQ(fill->text(), "Fill");
    EXPECT_EQ(fill->toolTip(), "Graphic Fill");
    EXPECT_TRUE(fill->isChecked());
    EXPECT_EQ(c.child<QLineEdit>("Maxrecord")->text(), "100");
    EXPECT_EQ(c.child("Bt10")->text(), "1");
    EXPECT_EQ(c.child("Bt10")->palette().color(QPalette::ButtonText), QColor(Qt::blue));
    EXPECT_FALSE(c.child("BtNew")->icon().isNull());
    EXPECT_FALSE(c.child("TbFd")->isHidden());
    EXPECT_TRUE(c.child("TbSx")->isHidden());
    EXPECT_EQ(c.child("TbSx")->toolTip(), "Graphic Restore");
    auto* combo = c.child<QComboBox>("ComboBox1");
    EXPECT_TRUE(combo->isHidden());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "atile");
    EXPECT_EQ(combo->itemText(1), "btile");
}

TEST(ChartView, ColoursOfTheFixedSettingsAndTheSeries)
{
    ChartFixture c;
    c.frames(80);
    ASSERT_EQ(c.f.core.lastReport().chart, 20000);
    const ChartLayout l = c.layout();
    const QImage area = c.shot();
    const int x = l.plot.center().x(), y = c.row(20000);

    EXPECT_EQ(area.pixel(x, y), Azure) << "area line";
    EXPECT_EQ(area.pixel(x, (y + l.plot.bottom()) / 2), LightYellow) << "area";
    EXPECT_EQ(area.pixel(x, (y + l.plot.top()) / 2), White) << "back wall";
    EXPECT_EQ(area.pixel(l.leftWall.center()), qRgb(255, 255, 0)) << "left wall";
    EXPECT_EQ(area.pixel(320, 14), PaleBlue) << "panel under the tool row";
    EXPECT_NEAR(qRed(area.pixel(2, ChartToolRowHeight)), 192, 3) << "gradient starts silver";
    EXPECT_EQ(qRed(area.pixel(2, ChartToolRowHeight)), qBlue(area.pixel(2, ChartToolRowHeight)));
    EXPECT_GE(qRed(area.pixel(2, c.chart->height() - 3)), 253) << "gradient ends white";
    int axis = 0, gaps = 0;
    for (int yy = l.plot.top(); yy <= l.plot.bottom(); ++yy)
        (area.pixel(l.axisX, yy) == DarkBlue ? axis : gaps)++;
    EXPECT_GT(axis, l.plot.height() / 2) << "dashed axis line";
    EXPECT_GT(gaps, 10) << "dashed axis line";

    // Fill unchecked: the line series with the same points, no area under it.
    c.child<QCheckBox>("BtFill")->click();
    EXPECT_TRUE(c.model().seriesVisible(ChartModel::LineSeries));
    EXPECT_FALSE(c.model().seriesVisible(ChartModel::AreaSeries));
    EXPECT_FALSE(c.f.core.S.chart.controls().FillChecked);
    ASSERT_EQ(c.model().pointCount(0), c.model().pointCount(1));
    for (size_t i = 1; i < c.model().pointCount(0); ++i) // after each series' own sample point
        EXPECT_EQ(c.model().pointValue(0, i), c.model().pointValue(1, i));
    const QImage line = c.shot();
    EXPECT_EQ(line.pixel(x, y), SpringGreen) << "line pen";
    EXPECT_EQ(line.pixel(x, (y + l.plot.bottom()) / 2), White);
}

TEST(ChartView, AFrameAddsAPointAndNewLeavesOne)
{
    ChartFixture c;
    c.frames(1);
    EXPECT_EQ(c.model().pointCount(ChartModel::AreaSeries), 2u);
    EXPECT_EQ(c.model().pointValue(ChartModel::AreaSeries, 1), 20000);
    c.frames(3, "100001121");
    EXPECT_EQ(c.model().pointCount(ChartModel::AreaSeries), 5u);
    const uint64_t before = c.model().revision();
    c.chart->refresh();
    EXPECT_EQ(c.model().revision(), before);

    c.child("BtNew")->click();
    EXPECT_EQ(c.model().pointCount(ChartModel::AreaSeries), 1u);
    EXPECT_EQ(c.model().pointCount(ChartModel::LineSeries), 1u);
    c.frames(1, "100001121");
    EXPECT_EQ(c.model().pointX(ChartModel::AreaSeries, 1), 1);
}

// The screen keeps what was painted and repaints only what refresh() asks for: a
// picture patched that way must equal a chart painted whole.
TEST(ChartView, RepaintsOnlyWhatNewPointsAndPageTurnsChanged)
{
    ChartFixture c;
    c.f.core.S.chart.setPointsPerPage(8);
    c.chart->refresh();
    QImage screen(c.chart->size(), QImage::Format_RGB32);
    c.chart->render(&screen);
    const auto whole = [&] {
        QImage image(c.chart->size(), QImage::Format_RGB32);
        c.chart->render(&image);
        return image;
    };
    const QRect plot = c.layout().plot;
    bool turned = false;
    for (int i = 0; i < 20; ++i) {
        const PageRange was = c.model().visibleRange(ChartModel::AreaSeries);
        c.f.zentor({i % 2 ? "000001121" : "200001121"}); // 0 V and 2 V in turn
        const PageRange now = c.model().visibleRange(ChartModel::AreaSeries);
        const QRegion dirty = c.chart->refresh();
        if (now == was) { // a point beyond the page shown
            EXPECT_TRUE(dirty.isEmpty()) << i;
            continue;
        }
        EXPECT_GE(dirty.boundingRect().top(), ChartToolRowHeight) << "the tool row stays, " << i;
        if (now.first == was.first) {
            // One more point: a strip of the plot around the new segment.
            EXPECT_TRUE(plot.contains(dirty.boundingRect())) << i;
            EXPECT_LT(dirty.boundingRect().width(), plot.width() / 2) << i;
        } else {
            turned = true; // a new page: its points and its bottom axis
            EXPECT_TRUE(dirty.contains(plot)) << i;
            EXPECT_GT(dirty.boundingRect().bottom(), plot.bottom() + 10) << i;
        }
        // The tool row's controls repaint themselves when their state changes.
        const QRegion repainted = dirty + QRect(0, 0, c.chart->width(), ChartToolRowHeight);
        c.chart->render(&screen, QPoint(), repainted);
        ASSERT_EQ(screen, whole()) << "frame " << i;
    }
    EXPECT_TRUE(turned);
    EXPECT_TRUE(c.chart->refresh().isEmpty()); // nothing new: nothing repainted
}

TEST(ChartView, PageButtonsFollowThePageModel)
{
    ChartFixture c;
    c.frames(249); // with the sample point: 250 points, three pages of 100
    EXPECT_EQ(c.model().pageCount(), 3);
    EXPECT_EQ(c.child("Bt10")->text(), "3");

    struct Step {
        const char* button;
        const char* page;
        bool firstPrevious, nextLast;
    };
    const Step steps[] = {
        {"BtFirst", "1", false, true},   {"BTPrevious", "1", false, true}, {"BtNext", "2", true, true},
        {"BtNext", "3", true, true},     {"BtNext", "3", true, false},     {"BTPrevious", "2", true, true},
        {"Bt10", "2", true, true},       {"BTlast", "3", true, false},
    };
    for (const Step& s : steps) {
        c.child(s.button)->click();
        const std::string at = std::string(s.button) + " to page " + s.page;
        EXPECT_EQ(c.child("Bt10")->text(), s.page) << at;
        EXPECT_EQ(c.child("BtFirst")->isEnabled(), s.firstPrevious) << at;
        EXPECT_EQ(c.child("BTPrevious")->isEnabled(), s.firstPrevious) << at;
        EXPECT_EQ(c.child("BtNext")->isEnabled(), s.nextLast) << at;
        EXPECT_EQ(c.child("BTlast")->isEnabled(), s.nextLast) << at;
    }
    // Following again. The follow rule runs between the point's add to the line
    // series and to the shown area series, so the page turns one point late.
    c.frames(51);
    EXPECT_EQ(c.child("Bt10")->text(), "3");
    c.frames(1);
    EXPECT_EQ(c.child("Bt10")->text(), "4");
    c.child("BtFirst")->click();
    c.frames(100); // no longer following
    EXPECT_EQ(c.child("Bt10")->text(), "1");

    // Only the current page is drawn: page 1 holds the 2 V points, later pages 1 V.
    c.child("BTlast")->click();
    c.frames(99, "100001121"); // page 5: 2 V up to point 402, then 1 V
    const QImage last = c.shot();
    const int x = c.layout().plot.center().x();
    EXPECT_EQ(last.pixel(x, c.row(10000)), Azure);
    EXPECT_NE(last.pixel(x, c.row(20000)), Azure);
}

TEST(ChartView, PointsPerPageFromTheEdit)
{
    ChartFixture c;
    c.frames(249);
    auto* edit = c.child<QLineEdit>("Maxrecord");
    for (char key : {'a', '-', ' ', '7'}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(key)));
        QCoreApplication::sendEvent(edit, &press);
    }
    EXPECT_EQ(edit->text(), "1007"); // only the digit got through
    EXPECT_EQ(c.model().pointsPerPage(), 1007);

    struct Case {
        const char* text;
        int32_t perPage;
        size_t errors;
    };
    for (const Case& k : {Case{"0", 0, 0}, Case{"", 0, 1}, Case{"-5", 0, 1}, Case{"50", 50, 0}, Case{"99999999999", 50, 1}}) {
        c.f.messages.errors.clear();
        edit->setText(k.text);
        EXPECT_EQ(c.model().pointsPerPage(), k.perPage) << k.text;
        EXPECT_EQ(c.f.messages.errors.size(), k.errors) << k.text;
    }
    c.frames(1);
    EXPECT_EQ(c.child("Bt10")->text(), "5"); // 251 points at 50 a page
    edit->setText("0");
    c.frames(1);
    EXPECT_EQ(c.child("Bt10")->text(), "1");
}

TEST(ChartView, EnlargesOverTheWindowAndRestores)
{
    ChartFixture c;
    for (int round = 0; round < 2; ++round) {
        c.child("TbFd")->click();
        EXPECT_EQ(c.chart->geometry(), QRect(2, 28, 711 - 12, 485 - 85));
        EXPECT_TRUE(c.child("TbFd")->isHidden());
        EXPECT_FALSE(c.child("TbSx")->isHidden());
        EXPECT_EQ(c.window.children().last(), c.chart) << "raised over the dial";
        EXPECT_EQ(c.child("BtNew")->pos(), QPoint(96, 3)) << "the row keeps its place on the chart";
        c.child("TbSx")->click();
        EXPECT_EQ(c.chart->geometry(), QRect(336, 172, 371, 309));
        EXPECT_FALSE(c.child("TbFd")->isHidden());
        EXPECT_TRUE(c.child("TbSx")->isHidden());
    }
}

TEST(ChartView, TheWheelDoesNothing)
{
    ChartFixture c;
    c.frames(249);
    c.child("BtFirst")->click();
    QWheelEvent wheel(QPointF(100, 100), c.chart->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(c.chart, &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    EXPECT_EQ(c.model().page(), 1);
}

TEST(ChartView, SavesTheEnlargedChartAsABitmap)
{
    ChartFixture c;
    c.frames(80);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString relative = QDir(QDir::currentPath()).relativeFilePath(dir.filePath("chart.bmp"));
    c.child("TbFd")->click();

    c.dialogs.answers = {std::nullopt}; // cancelled: nothing written, nothing shown
    c.child("BtSave")->click();
    EXPECT_TRUE(c.f.messages.shown.empty());

    c.dialogs.answers = {relative.toStdString()};
    c.chart->BtSaveClick(); // as the hidden menu item "Save" does
    ASSERT_EQ(c.dialogs.asked.size(), 2u);
    const FileDialogOptions& asked = c.dialogs.asked.back();
    EXPECT_EQ(asked.filter, "Bitmaps (*.bmp)|*.bmp");
    EXPECT_EQ(asked.defaultExtension, "bmp");
    EXPECT_TRUE(asked.overwritePrompt);
    EXPECT_TRUE(asked.resizable);
    ASSERT_TRUE(c.f.messages.errors.empty()) << c.f.messages.errors.front();
    ASSERT_EQ(c.f.messages.shown.size(), 1u);
    EXPECT_EQ(c.f.messages.shown[0].kind, "information");
    EXPECT_EQ(c.f.messages.shown[0].text, "Graphic has saved on " + dir.filePath("chart.bmp").toStdString());
    EXPECT_EQ(c.f.messages.shown[0].caption, "Information");

    QImage saved(dir.filePath("chart.bmp"), "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(699, 400));
    const ChartLayout l = chartLayout(saved.size(), QFontMetrics(c.chart->font()));
    EXPECT_EQ(saved.pixel(l.plot.right() - 2, l.plot.top() + 2), White);
    EXPECT_GE(qGreen(saved.pixel(2, saved.height() - 3)), 253);
    const int y = static_cast<int>(std::lround(l.plot.bottom() - 60000.0 * (l.plot.height() - 1) / 80000));
    EXPECT_EQ(saved.pixel(l.plot.center().x(), y), Azure);
    // The tool row is not part of the picture: its strip is plain panel colour.
    EXPECT_EQ(saved.pixel(100, 14), PaleBlue);
}

TEST(ChartView, AFailedSaveGoesToTheErrorHandler)
{
    ChartFixture c;
    QTemporaryDir dir;
    const std::string path = dir.filePath("missing/chart.bmp").toStdString();
    c.dialogs.answers = {path};
    c.child("BtSave")->click();
    ASSERT_EQ(c.f.messages.errors.size(), 1u);
    EXPECT_NE(c.f.messages.errors[0].find(path), std::string::npos) << c.f.messages.errors[0];
    EXPECT_TRUE(c.f.messages.shown.empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST(ChartView, APageOfMillionsIsDrawnAsMinMaxColumns)
{
    ChartFixture c;
    ChartModel& model = c.f.core.S.chart;
    for (int32_t i = 0; i < 1'000'000; ++i) {
        const int32_t v = i % 2 ? 30000 : -30000;
        model.addPoint(ChartModel::LineSeries, v);
        model.addPoint(ChartModel::AreaSeries, v);
    }
    c.child<QLineEdit>("Maxrecord")->setText("0");
    const QImage shot = c.shot();
    const int x = c.layout().plot.center().x();
    // Every column spans both extremes: outline from top to bottom over the fill.
    EXPECT_EQ(shot.pixel(x, c.row(30000)), Azure);
    EXPECT_EQ(shot.pixel(x, c.row(0)), Azure);
    EXPECT_EQ(shot.pixel(x, c.row(-30000)), Azure);
    EXPECT_EQ(shot.pixel(x, c.row(35000)), White);
    EXPECT_EQ(shot.pixel(x, c.row(-35000)), LightYellow);
}

} // namespace
