// The window as it stands after start-up: caption, client area, LCD, grid, port
// panels, hidden and off-screen controls, the menu bar and its marks.
#include "WindowFixture.h"

#include "ui/LcdPanel.h"
#include "ui/WindowGridView.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace valdrin;
using namespace valdrin::test;

namespace {
bool shown(const QWidget* w) { return !w->isHidden(); }
QString text(const QWidget* w)
{
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    return {};
}
} // namespace

TEST(WindowStart, CaptionClientAreaAndIndicators)
{
    WindowFixture f;
    TFCOMM& w = *f.window;
    EXPECT_EQ(w.windowTitle().toStdString(), "Valdrin Interface Program V2.00");
    EXPECT_EQ(w.clientArea()->size(), QSize(711, 485));
    EXPECT_EQ(w.clientArea()->palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "the window is not resizable";
    EXPECT_EQ(w.width(), 711);
    EXPECT_EQ(w.height(), 485 + w.menuBar()->height());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowIcon().isNull());
    const QFont font = w.clientArea()->font();
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_TRUE(font.bold());

    auto* lcd = f.find<LcdPanel>("Panel1");
    ASSERT_NE(lcd, nullptr);
    EXPECT_EQ(lcd->geometry(), QRect(0, 28, 334, 129));
    const LcdState& state = lcd->shownState();
    EXPECT_EQ(std::string(state.digitCaptions.begin(), state.digitCaptions.end()), "39999");
    EXPECT_TRUE(state.shown(Lcd::LcdFH));
    EXPECT_FALSE(state.shown(Lcd::LcdV));
    EXPECT_TRUE(shown(f.find("CONokN")));
    EXPECT_FALSE(shown(f.find("CONok")));
    EXPECT_FALSE(shown(f.find("oltext")));
    EXPECT_EQ(f.find("CONokN")->parentWidget(), f.find("KD"));

    auto* bar = f.find<QProgressBar>("PBar2");
    EXPECT_EQ(bar->maximum(), 40);
    EXPECT_EQ(bar->value(), 20);
    EXPECT_FALSE(bar->isTextVisible());

    auto* grid = f.find<ReadingGridView>("DBGrid1");
    ASSERT_NE(grid->model(), nullptr);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(grid->model()->columnCount(), 6);
    EXPECT_EQ(grid->currentRow(), -1);
    EXPECT_EQ(grid->columnWidth(0), 53);
    EXPECT_EQ(grid->columnWidth(4), 35);
    EXPECT_EQ(grid->palette().color(QPalette::Base), QColor(192, 192, 192));

    for (const char* name : {"BtCOM1", "BtCOM2", "BtCOM3", "BtCOM4"})
        EXPECT_EQ(shown(f.find(name)), std::string_view(name) == "BtCOM1") << name;
    EXPECT_EQ(f.find("BtCOM1")->toolTip().toStdString(), f.com1.slavePath());
    EXPECT_EQ(f.find("BtCOM3")->toolTip().toStdString(), "/nonexistent/meter3");
}

// Every top-level control of the form at its place, with its caption or hint and
// its state: hidden ones hidden, outside ones beyond the client area.
TEST(WindowStart, ControlsOfTheLayout)
{
    struct Case {
        const char* name;
        QRect place;
        bool visible;
        const char* caption;  // caption, or the hint for glyph buttons
    };
    const Case cases[] = {
        {"USBtxt", {334, 496, 0, 0}, false, "6001"},
        {"RecordNew", {246, 178, 23, 21}, true, "Close Data"},
        {"Print", {110, 420, 33, 25}, false, "Print"},
        {"OpenDataFiles", {268, 178, 23, 21}, true, "Open old data files"},
        {"saveas", {290, 178, 23, 21}, true, "Save data files"},
        {"BtPrint", {312, 178, 22, 21}, true, "Print"},
        {"ReadBtn", {622, 316, 81, 22}, true, "Read"},
        {"ClearBtn", {533, 245, 81, 21}, true, "Clear"},
        {"InfoBtn", {766, 241, 57, 22}, true, "Info"},
        {"USBCon", {168, 2, 94, 25}, true, "USB Connect"},
        {"COMCon", {65, 2, 94, 25}, true, "COM Connect"},
        {"Panel2", {2, 199, 334, 25}, false, ""},
        {"RepeatSet", {1, 178, 54, 20}, true, "Repeat"},
        {"DBGrid1", {1, 200, 334, 281}, true, ""},
        {"Panel3", {9, 469, 334, 47}, false, ""},
        {"PBar2", {0, 157, 334, 17}, true, ""},
        {"KD", {337, 28, 371, 143}, true, ""},
        {"BtCOM2", {3, 2, 61, 24}, false, "COM 2"},
        {"BtDiscon", {0, 535, 105, 26}, false, "Disconnect"},
        {"BTCon", {0, 535, 105, 26}, true, "Connect"},
        {"BtExit", {0, 535, 65, 26}, true, "Exit"},
        {"RecordSI", {55, 178, 143, 20}, true, "Sampling Interval           'S"},
        {"RecordSITime", {157, 178, 27, 21}, true, "10"},
        {"Memo1", {366, 500, 65, 26}, false, ""},
        {"Chtshow", {336, 172, 371, 309}, true, ""},
        {"SetFeature", {441, 505, 81, 21}, true, "SetFeature"},
        {"DevListBox", {766, 327, 5, 25}, true, ""},
        {"HistoryListBox", {766, 29, 5, 23}, true, ""},
        {"BitBtn1", {651, 2, 57, 25}, true, "EXIT"},
        {"RecallDataTest", {510, 5, 75, 17}, false, "RecallData"},
    };
    WindowFixture f;
    const QRect client(0, 0, 711, 485);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* w = f.find(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), f.window->clientArea());
        EXPECT_EQ(shown(w), c.visible);
        // The off-screen panels keep their distance from the right edge instead.
        if (c.place.x() != 0) {
            EXPECT_EQ(w->pos(), c.place.topLeft());
        } else {
            EXPECT_EQ(w->y(), c.place.y());
        }
        if (c.place.width() != 0) {
            EXPECT_EQ(w->size(), c.place.size());
        }
        const QString caption = QString::fromLatin1(c.caption);
        if (!caption.isEmpty()) {
            if (!qobject_cast<QLineEdit*>(w)) {
                EXPECT_EQ(w->accessibleName().toStdString(), c.caption);
            }
            if (qobject_cast<QToolButton*>(w)) {
                EXPECT_EQ(w->toolTip().toStdString(), c.caption);
            } else {
                EXPECT_EQ(text(w).toStdString(), c.caption);
            }
        }
        if (c.visible && !client.intersects(w->geometry())) {
            const std::string_view n = c.name;
            EXPECT_TRUE(n == "BTCon" || n == "BtExit" || n == "SetFeature" || n == "InfoBtn" || n == "DevListBox"
                        || n == "HistoryListBox")
                << "only the controls placed outside lie outside";
        }
    }
    const int outer = f.window->frameGeometry().width();
    EXPECT_EQ(f.find("BtExit")->x(), outer - 80);
    EXPECT_EQ(f.find("BTCon")->x(), outer - 190);
    EXPECT_EQ(f.find("BtDiscon")->x(), outer - 190);
    for (const char* name : {"BTCon", "BtExit", "SetFeature", "InfoBtn", "DevListBox", "HistoryListBox"})
        EXPECT_FALSE(client.intersects(f.find(name)->geometry())) << name << " lies outside";

    EXPECT_TRUE(f.find<QCheckBox>("RepeatSet")->isChecked());
    EXPECT_EQ(f.find("RepeatSet")->toolTip(), QStringLiteral("Repeage Record"));
    EXPECT_FALSE(f.find<QCheckBox>("RecordSI")->isChecked());
    EXPECT_EQ(f.find("COMCon")->font().pixelSize(), 13);
    EXPECT_EQ(f.find("COMCon")->font().family(), QStringLiteral("Liberation Sans"));
    EXPECT_TRUE(f.find<QPushButton>("COMCon")->isCheckable());

    const char* switches[] = {"IFQuellix", "IFTeskar", "IFMorvane", "IFBrevast", "IFDornel",
                              "IFOlvira",  "IFPendry", "IFSaltorn", "IFOtherT"};
    for (const char* name : switches) {
        auto* box = f.find<QCheckBox>(name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_TRUE(box->isHidden());
        EXPECT_EQ(box->isChecked(), std::string_view(name) == "IFQuellix") << name;
    }

    // The hidden panels hold their controls with the design texts.
    const std::pair<const char*, const char*> panelTexts[] = {
        {"RecallCheck", "RecallData"}, {"TimeH", "23"}, {"TimeM", "59"}, {"TimeS", "59"}, {"TimeInt", "1"},
        {"Setmax", "40000"},           {"SetMin", "-40000"}, {"SetMaxB", "SetMax:"}, {"SetMinB", "SetMin: "},
        {"MinText", "40001"},          {"MaxText", "-40001"}};
    for (const auto& [name, caption] : panelTexts) {
        QWidget* w = f.find(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(text(w).toStdString(), caption) << name;
    }
    EXPECT_EQ(f.find("TimeH")->parentWidget(), f.find("Panel2"));
    EXPECT_EQ(f.find("Setmax")->parentWidget(), f.find("Panel3"));
}

TEST(WindowStart, MenuBarInOrderWithHiddenMenusAndMarks)
{
    WindowFixture f;
    const QList<QAction*> bar = f.window->menuBar()->actions();
    struct Item {
        const char* caption;
        bool visible;
    };
    const Item items[] = {{"ComSetup", false}, {"Connect", false}, {"", true}, {"Graphic", false},
                          {"Record", true},    {"", true},        {"Exit", false}};
    ASSERT_EQ(bar.size(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(bar[i]->text().toStdString(), items[i].caption) << i;
        EXPECT_EQ(bar[i]->isVisible(), items[i].visible) << i;
    }
    EXPECT_EQ(bar[6]->objectName(), QStringLiteral("EXIT1"));

    auto captions = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text()) + (a->isChecked() ? "*" : "")
                       + (!a->isVisible() ? "(hidden)" : a->isEnabled() ? "" : "(disabled)");
        return out.join(u' ').toStdString();
    };
    EXPECT_EQ(captions(bar[0]->menu()), "COM1* COM2 COM3 COM4");
    EXPECT_EQ(captions(bar[1]->menu()), "START STOP(disabled)");
    EXPECT_EQ(captions(bar[3]->menu()), "First Previous Next Last - New Save - Fill*");
    EXPECT_EQ(captions(bar[4]->menu()),
              "New(hidden) Save(hidden) -(hidden) 1000 5000 10000* 50000 100000 limitless");

    // A row limit item takes the mark from the others and sets the limit.
    f.window->findChild<QAction*>(QStringLiteral("N10001"))->trigger();
    EXPECT_EQ(captions(bar[4]->menu()),
              "New(hidden) Save(hidden) -(hidden) 1000* 5000 10000 50000 100000 limitless");
    EXPECT_EQ(f.core().S.recording.MaxRecords, 1000);
    f.window->findChild<QAction*>(QStringLiteral("limitess"))->trigger();
    EXPECT_EQ(f.core().S.recording.MaxRecords, 10000000);

    // The hidden "Fill" item runs the chart's FillClick and shows its mark.
    QAction* fill = f.window->findChild<QAction*>(QStringLiteral("Fill"));
    fill->trigger();
    EXPECT_EQ(fill->isChecked(), f.core().S.chart.controls().FillChecked);
    EXPECT_FALSE(fill->isChecked());

    // Hidden items still run their handlers: the port menu moves the port panel.
    f.window->findChild<QAction*>(QStringLiteral("COM31"))->trigger();
    EXPECT_TRUE(shown(f.find("BtCOM3")));
    EXPECT_FALSE(shown(f.find("BtCOM1")));
    EXPECT_EQ(captions(bar[0]->menu()), "COM1 COM2 COM3* COM4");
}
