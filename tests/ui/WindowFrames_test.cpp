// Frames through the serial port's receive handler reach the LCD, the grid (which
// follows the newest row) and the bar; bad frames and a bad interval are reported
// while recording goes on.
#include "WindowFixture.h"

#include "ui/LcdPanel.h"
#include "ui/WindowGridView.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <gtest/gtest.h>

using namespace valdrin;
using namespace valdrin::test;

namespace {
std::string digits(const LcdState& s)
{
    std::string out;
    for (char c : s.digitCaptions)
        out += c ? c : '_';
    return out;
}
QString cell(ReadingGridView* grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}
} // namespace

TEST(WindowFrames, FramesReachTheLcdTheGridAndTheBar)
{
    WindowFixture f;
    auto* lcd = f.find<LcdPanel>("Panel1");
    auto* grid = f.find<ReadingGridView>("DBGrid1");
    auto* bar = f.find<QProgressBar>("PBar2");

    f.zentor({"123451121"});
    EXPECT_EQ(digits(lcd->shownState()), "12345");
    EXPECT_TRUE(lcd->shownState().shown(Lcd::LcdV));
    EXPECT_FALSE(lcd->shownState().shown(Lcd::LcdFH));
    EXPECT_TRUE(f.find("CONok")->isVisibleTo(f.window.get()));
    EXPECT_FALSE(f.find("CONokN")->isVisibleTo(f.window.get()));
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(cell(grid, 0, 3), QStringLiteral("1.2345"));
    EXPECT_EQ(bar->value(), f.core().Lcd.PBar2Position);
    EXPECT_NE(bar->value(), 20) << "the bar moved with the reading";

    // Several frames in one block: one batch of rows, the newest is the current row.
    f.zentor({"004703400", "123451125", "AC0001100"});
    ASSERT_EQ(grid->model()->rowCount(), 4);
    EXPECT_EQ(grid->currentRow(), 3);
    EXPECT_EQ(cell(grid, 2, 3), QStringLiteral("-1.2345"));
    EXPECT_EQ(cell(grid, 3, 0), QStringLiteral("4"));
    EXPECT_EQ(digits(lcd->shownState()), "__@0_");
    EXPECT_EQ(bar->value(), f.core().Lcd.PBar2Position);

    // "Close Data" empties the grid; numbering starts again.
    f.click("RecordNew");
    EXPECT_EQ(grid->model()->rowCount(), 0);
    ASSERT_FALSE(f.messages.shown.empty());
    EXPECT_EQ(f.messages.shown.back().text, " Record deleted ");
    f.zentor({"123451121"});
    EXPECT_EQ(cell(grid, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(grid->currentRow(), 0);
}

TEST(WindowFrames, RangeNibbleBIsReportedOnceAndGoodFramesAreRecorded)
{
    WindowFixture f;
    f.zentor({"123451121", "98765B121", "123451121", "223451121"});
    ASSERT_EQ(f.messages.errors.size(), 1u);
    EXPECT_EQ(f.messages.errors[0], "'B' is not a valid integer value");
    auto* grid = f.find<ReadingGridView>("DBGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(cell(grid, 2, 3), QStringLiteral("2.2345"));
    EXPECT_EQ(grid->currentRow(), 2);
}

TEST(WindowFrames, PastedNonNumberIntervalIsReportedAndRecordingGoesOn)
{
    WindowFixture f;
    auto* edit = f.find<QLineEdit>("RecordSITime");
    QApplication::clipboard()->setText(QStringLiteral("1x"));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("1x")) << "pasted text is not filtered";
    ASSERT_EQ(f.messages.errors.size(), 1u);
    EXPECT_EQ(f.messages.errors[0], "'1x' is not a valid integer value");

    f.zentor({"123451121", "223451121"});
    EXPECT_EQ(f.messages.errors.size(), 1u) << "the frames raise no further error";
    EXPECT_EQ(f.core().cds1.size(), 2u);
    EXPECT_EQ(f.core().S.recording.SampleCountdown, 10) << "the last valid interval stays in force";

    // A number typed over it takes effect.
    edit->selectAll();
    QTest::keyClicks(edit, "3");
    EXPECT_EQ(f.core().C.recording.RecordSITime, "3");
    EXPECT_EQ(f.core().S.recording.SampleCountdown, 3);
}

// Appended rows are painted alone and the shown ones scrolled: what is on the
// screen, before the grid is full and long after, is what a full paint shows.
TEST(WindowFrames, GridOnScreenMatchesAFullPaintAfterAppends)
{
    WindowFixture f;
    f.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.window.get()));
    auto* grid = f.find<ReadingGridView>("DBGrid1");
    auto onScreenAsPainted = [&] {
        const QPoint at = grid->mapTo(f.window.get(), QPoint(0, 0));
        const QImage shown = f.window->screen()
                                 ->grabWindow(f.window->winId(), at.x(), at.y(), grid->width(), grid->height())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage painted = grid->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shown.size() == painted.size() && shown == painted;
    };
    const char* frames[] = {"123451121", "223451121", "323451125", "004703400"};
    for (int i = 0; i < 40; ++i) {
        f.zentor({frames[i % 4]});
        if (i == 30)
            f.zentor({frames[0], frames[1], frames[2]});  // several rows in one batch
        QCoreApplication::processEvents();
        if (i == 4) {
            EXPECT_TRUE(onScreenAsPainted()) << "five rows, before the grid scrolls";
        }
    }
    ASSERT_EQ(grid->currentRow(), 42);
    ASSERT_GT(grid->firstVisibleRow(), 20) << "the grid follows the newest row";
    EXPECT_TRUE(onScreenAsPainted()) << "43 rows, scrolled";
}

// The watchdog and the sampling clock run from start on the window's own timers.
TEST(WindowFrames, WatchdogAndSamplingClockRunFromStart)
{
    WindowFixture f;
    f.zentor({"123451121"});
    EXPECT_TRUE(f.find("CONok")->isVisibleTo(f.window.get()));
    // No further frames: the watchdog turns the link picture back.
    QTRY_VERIFY(f.find("CONokN")->isVisibleTo(f.window.get()));
    EXPECT_FALSE(f.find("CONok")->isVisibleTo(f.window.get()));

    // Sampling on, with the countdown loaded by the recorded row: the clock counts down.
    f.click("RecordSI");
    ASSERT_TRUE(f.core().C.recording.RecordSI);
    const int32_t loaded = f.core().S.recording.SampleCountdown;
    ASSERT_EQ(loaded, 10);
    QTRY_VERIFY_WITH_TIMEOUT(f.core().S.recording.SampleCountdown < loaded, 5000);
}

// Through the real link: the serial poll reads the pseudo-terminal and the window
// shows what it read with no one calling the mirror; a burst of readings reaches the
// grid in a few batches, never more than one a screen frame.
TEST(WindowFrames, ThePollsReadingsAreMirroredInBatchesAtTheScreensPace)
{
    WindowFixture f;
    auto* lcd = f.find<LcdPanel>("Panel1");
    auto* grid = f.find<ReadingGridView>("DBGrid1");
    int batches = 0;
    QObject::connect(grid->model(), &QAbstractItemModel::rowsInserted, [&batches] { ++batches; });
    f.click("COMCon");
    ASSERT_TRUE(f.window->connection().C.COMCon);

    QElapsedTimer clock;
    clock.start();
    Bytes burst{0x0A};
    const int readings = 200;
    for (int i = 0; i < readings; ++i) {
        const Bytes frame = encodeLineFrame(i % 2 ? "123451121" : "054321121");
        burst.insert(burst.end(), frame.begin(), frame.end());
    }
    f.com1.write(burst);
    QTRY_COMPARE_WITH_TIMEOUT(grid->model()->rowCount(), readings, 10000);
    EXPECT_EQ(digits(lcd->shownState()), "12345");
    EXPECT_EQ(grid->currentRow(), readings - 1);
    EXPECT_GE(batches, 1);
    EXPECT_LE(batches, clock.elapsed() / TFCOMM::kScreenFrameMs + 1);
    EXPECT_LT(batches, readings / 10) << "rows reach the grid in batches, not one by one";

    // Nothing more arrives: the window stays as it is.
    const int seen = batches;
    QTest::qWait(200);
    EXPECT_EQ(batches, seen);
    EXPECT_EQ(grid->model()->rowCount(), readings);
}

namespace {
// A modal box as the real one is: it runs the event loop until it is closed (here
// after 400 ms), and notes whether the watchdog ticked meanwhile.
class ModalMessages final : public RecordingMessages {
public:
    FcommCore* core = nullptr;
    bool watchdogTickedWhileOpen = false;

    void information(const std::string& text, const std::string& caption) override
    {
        RecordingMessages::information(text, caption);
        const int32_t before = core->S.WatchdogTicks;
        bool ticked = false;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] { ticked = ticked || core->S.WatchdogTicks != before; });
        probe.start(5);
        QEventLoop box;
        QTimer::singleShot(400, &box, &QEventLoop::quit);
        box.exec();
        watchdogTickedWhileOpen = ticked;
    }
};
} // namespace

TEST(WindowFrames, TheWatchdogKeepsTickingWhileItsUsbIdleBoxIsOpen)
{
    ModalMessages messages;
    WindowFixture f(&messages);
    messages.core = &f.core();
    f.core().S.UsbIdleReports = 1900;  // the cable has sent only idle reports for too long
    QTRY_COMPARE_WITH_TIMEOUT(messages.texts("information").size(), std::size_t{1}, 3000);
    EXPECT_EQ(messages.texts("information").front(),
              "USB interface cable is securely connected, please check if the meter is ready.");
    EXPECT_TRUE(messages.watchdogTickedWhileOpen);
}
