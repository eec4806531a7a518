// The LCD state's revision: every change of the picture advances it, a write of the
// value already shown does not, and neither does a frame that shows what is shown.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

TEST(LcdState, EverySetterAdvancesTheRevisionOnlyOnAChange)
{
    struct Case {
        const char* name;
        std::function<void(LcdState&)> set;
    };
    const Case cases[] = {
        {"show", [](LcdState& s) { s.show(Lcd::LcdV); }},
        {"hide", [](LcdState& s) { s.hide(Lcd::LcdD0); }},
        {"show off", [](LcdState& s) { s.show(Lcd::LcdFH, false); }},
        {"setCaption", [](LcdState& s) { s.setCaption(Digit::LcdDb, '7'); }},
        {"setCaption empty", [](LcdState& s) { s.setCaption(Digit::LcdD0, '\0'); }},
        {"setCaptions", [](LcdState& s) { s.setCaptions({'0', '1', '2', '3', '4'}); }},
        {"setBar", [](LcdState& s) { s.setBar(7); }},
        {"setBar clamped", [](LcdState& s) { s.setBar(400); }},
        {"setBarMax", [](LcdState& s) { s.setBarMax(20); }},
        {"setBarMax keeps the bar in range", [](LcdState& s) { s.setBarMax(10); }},
        {"setOltext", [](LcdState& s) { s.setOltext(true); }},
        {"setConnected", [](LcdState& s) { s.setConnected(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LcdState s;
        ASSERT_EQ(s.revision(), 0u);
        const LcdState before = s;
        c.set(s);
        EXPECT_FALSE(s.sameAs(before));
        EXPECT_GT(s.revision(), 0u);
        const uint64_t once = s.revision();
        c.set(s);
        EXPECT_EQ(s.revision(), once);
    }

    LcdState s;
    s.setBarMax(10);
    EXPECT_EQ(s.PBar2Position, 10);
    s.setBar(-3);
    EXPECT_EQ(s.PBar2Position, 0);

    // Writes of the values already shown.
    s = LcdState{};
    s.show(Lcd::LcdD0);
    s.hide(Lcd::LcdV);
    s.setCaptions({'3', '9', '9', '9', '9'});
    s.setBar(20);
    s.setBarMax(40);
    s.setOltext(false);
    s.setConnected(false);
    EXPECT_EQ(s.revision(), 0u);
}

TEST(LcdState, AFrameAdvancesTheRevisionOnceAndAnIdenticalFrameNotAtAll)
{
    struct Case {
        const char* name;
        std::function<void(CoreFixture&)> first, other;
    };
    const Case cases[] = {
        {"Zentor", [](CoreFixture& f) { f.zentor({"123451121"}); }, [](CoreFixture& f) { f.zentor({"123451125"}); }},
        {"Zentor over USB",
         [](CoreFixture& f) {
             for (const UsbReport& r : encodeUsbFrame(encodeLineFrame("123451121")))
                 f.usbReport(r.data);
         },
         [](CoreFixture& f) { f.zentor({"004703400"}); }},
        {"Teskar", [](CoreFixture& f) { f.teskar({TeskarFrame().digits("1234").nibbles()}); },
         [](CoreFixture& f) { f.teskar({TeskarFrame().digits("1235").nibbles()}); }},
        {"Brevast", [](CoreFixture& f) { f.brevast({"11234B00A"}); }, [](CoreFixture& f) { f.brevast({"312343404"}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CoreFixture f;
        const uint64_t start = f.core.Lcd.revision();
        c.first(f);
        ASSERT_EQ(f.core.frameErrors, 0u);
        ASSERT_GT(f.core.framesDecoded, 0u);
        const uint64_t once = f.core.Lcd.revision();
        EXPECT_EQ(once, start + 1);

        const uint64_t frames = f.core.framesDecoded;
        c.first(f);
        ASSERT_GT(f.core.framesDecoded, frames);
        EXPECT_EQ(f.core.Lcd.revision(), once);

        c.other(f);
        EXPECT_EQ(f.core.Lcd.revision(), once + 1);
    }
}

TEST(LcdState, WatchdogAndFailedFramesAdvanceTheRevision)
{
    CoreFixture f;
    f.zentor({"123451121"});
    uint64_t rev = f.core.Lcd.revision();

    // Two quiet ticks change nothing; the third puts the link picture out, once.
    f.core.ConTimerTimer();
    f.core.ConTimerTimer();
    EXPECT_EQ(f.core.Lcd.revision(), rev);
    f.core.ConTimerTimer();
    EXPECT_TRUE(f.core.Lcd.CONokN);
    EXPECT_GT(f.core.Lcd.revision(), rev);
    rev = f.core.Lcd.revision();
    for (int i = 0; i < 3; ++i)
        f.core.ConTimerTimer();
    EXPECT_EQ(f.core.Lcd.revision(), rev);

    // A frame that fails after it set its digits still shows them.
    f.zentor({"98765B121"});
    ASSERT_EQ(f.core.frameErrors, 1u);
    EXPECT_EQ(f.digits(), "98765");
    EXPECT_GT(f.core.Lcd.revision(), rev);
}

namespace {
// Notes the LCD revision at the moment the error is told, as a window's error box
// would let its mirror see it.
class RevisionAtError : public RecordingMessages {
public:
    const FcommCore* core = nullptr;
    uint64_t seen = 0;
    void applicationError(const std::string& text) override
    {
        seen = core->Lcd.revision();
        RecordingMessages::applicationError(text);
    }
};
} // namespace

TEST(LcdState, AFrameErrorIsToldWithTheRevisionOfTheFinishedFrame)
{
    RevisionAtError messages;
    CountingBeeper beeper;
    FixedClock clock;
    FcommCore core(messages, beeper, clock);
    messages.core = &core;
    const Bytes bytes = [] {
        Bytes b{0x0A};
        for (const char* frame : {"123451121", "98765B121"}) {
            const Bytes f = encodeLineFrame(frame);
            b.insert(b.end(), f.begin(), f.end());
        }
        return b;
    }();
    core.HZentorRData(bytes.data(), static_cast<int32_t>(bytes.size()));
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.seen, core.Lcd.revision());
}

// A look in the middle of a frame (from a message box's loop) sees the revision of
// the last finished picture; the edit's end advances it once, or not at all when
// the picture ended where it began.
TEST(LcdState, AnOpenEditKeepsItsRevisionUntilItEnds)
{
    LcdState lcd;
    const uint64_t start = lcd.revision();
    {
        LcdEdit edit(lcd);
        lcd.setCaption(Digit::LcdDa, '1');
        EXPECT_EQ(lcd.revision(), start);
        lcd.setCaption(Digit::LcdDa, '9');  // back to what it showed
    }
    EXPECT_EQ(lcd.revision(), start);
    {
        LcdEdit edit(lcd);
        lcd.setCaption(Digit::LcdDa, '1');
        lcd.setCaption(Digit::LcdDb, '2');
        EXPECT_EQ(lcd.revision(), start);
    }
    EXPECT_EQ(lcd.revision(), start + 1);
    lcd.setCaption(Digit::LcdDa, '5');  // outside an edit, each change counts at once
    EXPECT_EQ(lcd.revision(), start + 2);
}
