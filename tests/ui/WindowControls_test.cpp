// The window's controls drive the connection and the recording: group 1, the port
// panel, the edits' key filters, and the exit commands.
#include "WindowFixture.h"

#include "ui/LcdPanel.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace valdrin;
using namespace valdrin::test;

namespace {
std::string groupState(WindowFixture& f)
{
    std::string out;
    for (const char* name : {"COMCon", "USBCon", "ReadBtn"})
        out += f.find<QPushButton>(name)->isChecked() ? 'D' : 'u';
    return out;
}
} // namespace

TEST(WindowControls, GroupOneAtMostOneDownAndReleasesRunNoHandler)
{
    WindowFixture f;
    f.click("COMCon");
    EXPECT_EQ(groupState(f), "Duu");
    EXPECT_TRUE(f.window->COMM2().ComPortOpen());
    EXPECT_FALSE(f.find("BtCOM1")->isEnabled());
    EXPECT_TRUE(f.find("BTCon")->isHidden());
    EXPECT_FALSE(f.find("BtDiscon")->isHidden());
    EXPECT_FALSE(f.window->findChild<QAction*>(QStringLiteral("START1"))->isEnabled());

    // The meter's frames come through the open port.
    f.com1.write(Bytes{0x0A});
    f.com1.write(encodeLineFrame("543211121"));
    QTRY_COMPARE(f.core().cds1.size(), std::size_t{1});

    // "USB Connect" with no cable: the message, the button stays up, and "COM
    // Connect" was released through the group without closing the port.
    f.click("USBCon");
    ASSERT_FALSE(f.messages.shown.empty());
    EXPECT_EQ(f.messages.shown.back().text,
              "USB interface cable is not securely connected, please check and re-try.");
    EXPECT_EQ(groupState(f), "uuu");
    EXPECT_TRUE(f.window->COMM2().ComPortOpen());

    f.click("ReadBtn");
    EXPECT_EQ(groupState(f), "uuD");
    f.click("ReadBtn");
    EXPECT_EQ(groupState(f), "uuu") << "all up is allowed";

    f.click("COMCon");
    EXPECT_EQ(groupState(f), "Duu");
    f.click("COMCon");
    EXPECT_EQ(groupState(f), "uuu");
    EXPECT_FALSE(f.window->COMM2().ComPortOpen());
    EXPECT_TRUE(f.find("BtCOM1")->isEnabled());
    EXPECT_FALSE(f.find("BTCon")->isHidden());
}

TEST(WindowControls, PortPanelStepsThroughFourPortsAndRestsWhileConnected)
{
    WindowFixture f;
    const char* panels[] = {"BtCOM1", "BtCOM2", "BtCOM3", "BtCOM4"};
    for (int step = 1; step <= 4; ++step) {
        const char* before = panels[(step - 1) % 4];
        f.click(before);
        const int now = step % 4;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(f.find(panels[i])->isHidden(), i != now) << "step " << step << " panel " << i;
        const std::string device = now == 0 ? f.com1.slavePath() : "/nonexistent/meter" + std::to_string(now + 1);
        EXPECT_EQ(f.find(panels[now])->toolTip().toStdString(), device);
        EXPECT_EQ(f.window->COMM2().ComPort(), static_cast<TSerialPortNumber>(now));
    }
    f.click("COMCon");
    ASSERT_TRUE(f.window->COMM2().ComPortOpen());
    f.click("BtCOM1");
    EXPECT_FALSE(f.find("BtCOM1")->isHidden()) << "a connected port panel takes no clicks";
    EXPECT_EQ(f.window->COMM2().ComPort(), pnCOM1);
}

TEST(WindowControls, KeyFiltersPassOnlyTheirCharacters)
{
    struct Case {
        const char* edit;
        const char* typed;
        const char* text;  // after clearing the edit and typing
    };
    const Case cases[] = {
        {"RecordSITime", "1a2.-+ 3", "123"},
        {"TimeH", "2x1", "21"},
        {"TimeInt", "-5,0", "50"},
        {"Setmax", "-1.2a+3", "-12+3"},
        {"SetMin", "e-40", "-40"},
    };
    WindowFixture f;
    f.find("Panel2")->show();
    f.find("Panel3")->show();
    for (const Case& c : cases) {
        auto* edit = f.find<QLineEdit>(c.edit);
        ASSERT_NE(edit, nullptr) << c.edit;
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        EXPECT_EQ(edit->text().toStdString(), c.text) << c.edit;
        // Backspace passes every filter.
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text().size(), static_cast<qsizetype>(std::string_view(c.text).size() - 1)) << c.edit;
    }
    // The edits' change handlers ran with what was typed.
    EXPECT_EQ(f.core().C.recording.RecordSITime, "12");
    EXPECT_EQ(f.core().S.recording.SampleCountdown, 12);
    EXPECT_EQ(f.core().C.limits.Setmax, "-12+");
    EXPECT_EQ(f.core().C.limits.SetMin, "-4");
    EXPECT_EQ(f.core().S.LowerLimit, -4.0f);
}

TEST(WindowControls, ExitAsksAndEndsOnYesOnly)
{
    WindowFixture f;
    f.zentor({"123451121"});
    f.messages.answer = false;
    f.click("BitBtn1");
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].kind, "question");
    EXPECT_EQ(f.messages.shown[0].text, "Are you ensure to exit the program\xEF\xBC\x9F");
    EXPECT_EQ(f.terminated, 0);
    EXPECT_EQ(f.core().cds1.size(), 1u);

    f.messages.answer = true;
    f.click("BitBtn1");
    EXPECT_EQ(f.terminated, 1);
    EXPECT_EQ(f.core().cds1.size(), 0u) << "the table is dropped, not saved";

    // "Exit" and the hidden menu item end the program without asking.
    f.messages.shown.clear();
    f.window->findChild<QAction*>(QStringLiteral("EXIT1"))->trigger();
    f.click("BtExit");
    EXPECT_EQ(f.terminated, 3);
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(WindowControls, HiddenPanelsRunTheirHandlers)
{
    WindowFixture f;
    f.find("Panel2")->show();
    f.find("Panel3")->show();
    // Recall: checking presets the start time, and each frame advances the stamp.
    f.click("RecallCheck");
    EXPECT_EQ(f.find<QLineEdit>("TimeH")->text(), QStringLiteral("00"));
    f.zentor({"123451121", "123451121"});
    EXPECT_EQ(f.core().cds1.timeMs(1).value_or(-1), 2000);

    // An hour typed out of range: "Input error!" and the field is reset.
    auto* hour = f.find<QLineEdit>("TimeH");
    hour->clear();
    QTest::keyClicks(hour, "25");
    ASSERT_FALSE(f.messages.shown.empty());
    EXPECT_EQ(f.messages.shown.back().text, "Input error!");
    EXPECT_EQ(hour->text(), QStringLiteral("00"));

    // Limits: arming the upper limit loads it from its edit.
    f.click("SetMaxB");
    EXPECT_EQ(f.core().S.UpperLimit, 40000.0f);
    auto* max = f.find<QLineEdit>("Setmax");
    max->clear();
    QTest::keyClicks(max, "100");
    EXPECT_EQ(f.core().S.UpperLimit, 100.0f);
    f.zentor({"123451121"});
    EXPECT_TRUE(f.find("oltext")->isVisibleTo(f.find("KD")));
    EXPECT_GT(f.beeper.beeps, 0);
}
