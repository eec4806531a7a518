// The USB cable through the window: listed and selected at start, configured by
// "USB Connect", its reports handed by the reader thread to the GUI loop and shown.
#include "WindowFixture.h"

#include "../link/FakeHidSystem.h"
#include "ui/LcdPanel.h"

#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace valdrin;
using namespace valdrin::test;

TEST(WindowUsb, CableReportsReachTheLcdThroughTheGuiLoop)
{
    auto hid = std::make_shared<FakeHidSystem>();
    FakeDevice other;
    other.instance = "mouse";
    other.path = "/dev/hidraw3";
    other.product = u"Optical Mouse";
    hid->plug(other);
    FakeDevice cable;
    cable.instance = "cable";
    cable.path = "/dev/hidraw7";
    hid->plug(cable);
    WindowFixture f(nullptr, hid);

    auto* devices = f.find<QListWidget>("DevListBox");
    ASSERT_EQ(devices->count(), 2);
    EXPECT_EQ(devices->item(1)->text(), QStringLiteral("USB to Serial"));
    EXPECT_EQ(devices->currentRow(), 1) << "the cable is selected";

    f.click("USBCon");
    EXPECT_TRUE(f.find<QPushButton>("USBCon")->isChecked());
    ASSERT_EQ(hid->features().size(), 1u);
    auto* log = f.find<QListWidget>("HistoryListBox");
    ASSERT_GE(log->count(), 1);
    EXPECT_EQ(log->item(log->count() - 1)->text(), QStringLiteral("60 09 00 00 03 00 00 00 00 00 "));

    for (const UsbReport& r : encodeUsbFrame(encodeLineFrame("543211121"))) {
        std::vector<uint8_t> report{r.reportId};
        report.insert(report.end(), r.data.begin(), r.data.end());
        hid->queueReport(cable.path, report);
    }
    auto* lcd = f.find<LcdPanel>("Panel1");
    QTRY_COMPARE(std::string(lcd->shownState().digitCaptions.begin(), lcd->shownState().digitCaptions.end()),
                 std::string("54321"));
    EXPECT_EQ(f.core().cds1.size(), 1u);
    EXPECT_GT(log->count(), 1) << "the reports are logged";

    // Released, the cable is configured once more and its reader stops.
    f.click("USBCon");
    EXPECT_FALSE(f.find<QPushButton>("USBCon")->isChecked());
    EXPECT_EQ(hid->features().size(), 2u);
    EXPECT_FALSE(f.window->connection().CurrentDevice->ReaderRunning());
}
