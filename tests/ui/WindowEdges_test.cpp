// The window's own edges: the application's error box does not stack while a bad
// stream goes on, and the file dialogs' filters in Qt's form.
#include "WindowFixture.h"

#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace valdrin;
using namespace valdrin::test;

namespace {
int openBoxes()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w) && w->isVisible())
            ++n;
    return n;
}
} // namespace

// A meter sending good frames mixed with frames whose range nibble is "B": one box
// opens, and while it is open the bad frames are counted and the good ones recorded.
TEST(WindowEdges, ErrorBoxDoesNotStackWhileBadFramesKeepArriving)
{
    WindowMessages messages;
    WindowFixture f(&messages);
    messages.setParent(f.window.get());
    f.click("COMCon");
    ASSERT_TRUE(f.window->COMM2().ComPortOpen());

    QTimer meter;
    bool first = true;
    QObject::connect(&meter, &QTimer::timeout, [&] {
        Bytes bytes = first ? Bytes{0x0A} : Bytes{};  // the line feed a previous frame would have left
        first = false;
        for (const char* frame : {"123451121", "98765B121"}) {
            const Bytes b = encodeLineFrame(frame);
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        f.com1.write(bytes);
    });
    meter.start(20);

    // Looks while the box's own loop runs, then closes the box.
    std::size_t rowsWhenOpened = 0, rowsWhenClosed = 0;
    int mostBoxes = 0;
    QString boxText;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!messages.errorBoxOpen())
            return;
        mostBoxes = std::max(mostBoxes, openBoxes());
        if (rowsWhenOpened == 0)
            rowsWhenOpened = f.core().cds1.size();
        if (messages.errorsCounted() < 5)
            return;
        rowsWhenClosed = f.core().cds1.size();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                boxText = box->text();
                box->accept();
            }
    });
    watcher.start(10);

    QTRY_VERIFY_WITH_TIMEOUT(rowsWhenClosed > 0 && !messages.errorBoxOpen(), 20000);
    meter.stop();
    watcher.stop();
    EXPECT_EQ(mostBoxes, 1);
    EXPECT_EQ(messages.errorsShown(), 1u);
    EXPECT_GE(messages.errorsCounted(), 5u);
    EXPECT_EQ(boxText, QStringLiteral("'B' is not a valid integer value"));
    EXPECT_GT(rowsWhenClosed, rowsWhenOpened) << "good frames were recorded while the box was open";
    f.click("COMCon");
}

TEST(WindowEdges, FileDialogFiltersInQtForm)
{
    struct Case {
        const char* filter;
        QStringList qt;
    };
    const Case cases[] = {
        {"Excel File(*.xls)|*.xls|XML(*.xml)|*.xml|Txt File(*.txt)|*.txt",
         {"Excel File (*.xls)", "XML (*.xml)", "Txt File (*.txt)"}},
        {"Exel File(*.xls)|*.xls|XML (*.xml)|*.xml|Txt File(*.txt)|*.txt",
         {"Exel File (*.xls)", "XML (*.xml)", "Txt File (*.txt)"}},
        {"Bitmaps (*.bmp)|*.bmp", {"Bitmaps (*.bmp)"}},
        {"Tables|*.txt;*.xml|All|*.*", {"Tables (*.txt *.xml)", "All (*)"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtNameFilters(c.filter), c.qt) << c.filter;
}
