// The controls' revision: every handler that writes the plain control state
// advances it, so the window can tell a change by one number.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

namespace {
void usbFrame(CoreFixture& f, std::string_view nibbles)
{
    for (const UsbReport& r : encodeUsbFrame(encodeLineFrame(nibbles)))
        f.usbReport(r.data);
}

// Nibbles of a Teskar frame as the cable carries it: byte i has i in its high half.
void usbTeskarFrame(CoreFixture& f, std::string_view nibbles)
{
    for (const UsbReport& r : encodeUsbFrame(encodeTeskarFrame(nibbles)))
        f.usbReport(r.data, true);
}
} // namespace

TEST(ControlsRevision, EveryHandlerThatChangesTheControlsAdvancesIt)
{
    struct Case {
        const char* name;
        std::function<void(CoreFixture&)> act;
        std::function<bool(const Controls&)> changed;  // what the handler wrote
        std::function<void(CoreFixture&)> before = [](CoreFixture&) {};
    };
    const auto limitIs = [](RowLimitItem item) {
        return [item](const Controls& c) { return c.recording.checkedLimit == item; };
    };
    const Case cases[] = {
        {"N10001Click", [](CoreFixture& f) { f.core.N10001Click(); }, limitIs(RowLimitItem::N10001)},
        {"N50001Click", [](CoreFixture& f) { f.core.N50001Click(); }, limitIs(RowLimitItem::N50001)},
        {"N500001Click", [](CoreFixture& f) { f.core.N500001Click(); }, limitIs(RowLimitItem::N500001)},
        {"N1000001Click", [](CoreFixture& f) { f.core.N1000001Click(); }, limitIs(RowLimitItem::N1000001)},
        {"limitessClick", [](CoreFixture& f) { f.core.limitessClick(); }, limitIs(RowLimitItem::limitess)},
        {"N100001Click", [](CoreFixture& f) { f.core.N100001Click(); }, limitIs(RowLimitItem::N100001),
         [](CoreFixture& f) { f.core.limitessClick(); }},
        {"RecallCheckClick",
         [](CoreFixture& f) {
             f.core.C.recall.RecallCheck = true;
             f.core.RecallCheckClick();
         },
         [](const Controls& c) { return c.recall.TimeH == "00" && c.recall.TimeS == "00"; }},
        {"TimeHKeyUp out of range",
         [](CoreFixture& f) {
             f.core.C.recall.TimeM = "75";
             f.core.TimeHKeyUp();
         },
         [](const Controls& c) { return c.recall.TimeM == "00"; }},
        {"serial Zentor frame", [](CoreFixture& f) { f.zentor({"123451121"}); },
         [](const Controls& c) { return c.USBtxt == "123451121DA"; }},
        {"serial Zentor frame with a new extreme", [](CoreFixture& f) { f.zentor({"123451121"}); },
         [](const Controls& c) { return c.limits.MaxText == "1.2345"; },
         [](CoreFixture& f) { f.zentor({"100001121"}); }},
        {"serial Zentor frame that fails", [](CoreFixture& f) { f.zentor({"98765B121"}); },
         [](const Controls& c) { return c.USBtxt == "98765B121DA"; }},
        {"USB Zentor frame", [](CoreFixture& f) { usbFrame(f, "004703400"); },
         [](const Controls& c) { return c.USBtxt1 == "DA" && c.limits.MaxTextU == "k*"; }},
        {"USB Teskar frame", [](CoreFixture& f) { usbTeskarFrame(f, "0000000000000F"); },
         [](const Controls& c) { return c.USBtxt == "0000000000000F"; }},
        {"Brevast frame", [](CoreFixture& f) { f.brevast({"11234B00A"}); },
         [](const Controls& c) { return c.limits.MinTextU == "V"; }},
        {"the window's own edit",
         [](CoreFixture& f) {
             f.core.C.limits.Setmax = "123";
             f.core.controlsEdited();
         },
         [](const Controls& c) { return c.limits.Setmax == "123"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CoreFixture f;
        c.before(f);
        EXPECT_FALSE(c.changed(f.core.C));
        const uint64_t before = f.core.controlsRevision();
        c.act(f);
        EXPECT_TRUE(c.changed(f.core.C));
        EXPECT_GT(f.core.controlsRevision(), before);
    }
}

TEST(ControlsRevision, ARepeatedFrameWritesNothingNew)
{
    CoreFixture f;
    f.zentor({"123451121", "123451121"});  // the second sets the extremes
    const uint64_t once = f.core.controlsRevision();
    f.zentor({"123451121"});
    EXPECT_EQ(f.core.controlsRevision(), once);
    f.zentor({"123461121"});  // a new maximum
    EXPECT_GT(f.core.controlsRevision(), once);
}

namespace {
// Notes the revision while the message box is open, as the window's mirror sees it.
class RevisionAtMessage : public RecordingMessages {
public:
    const FcommCore* core = nullptr;
    uint64_t seen = 0;
    void information(const std::string& text, const std::string& caption) override
    {
        seen = core->controlsRevision();
        RecordingMessages::information(text, caption);
    }
};
} // namespace

TEST(ControlsRevision, AdvancesAfterTheMessageBoxOfAHandler)
{
    RevisionAtMessage messages;
    CountingBeeper beeper;
    FixedClock clock;
    FcommCore core(messages, beeper, clock);
    messages.core = &core;
    core.C.recall.TimeH = "24";
    core.TimeHKeyUp();
    ASSERT_EQ(messages.texts("information"), std::vector<std::string>{"Input error!"});
    EXPECT_EQ(core.C.recall.TimeH, "00");  // set after the box closed
    EXPECT_GT(core.controlsRevision(), messages.seen);
}
