// Framing of the serial and USB links: which accumulations become frames.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "tests/support/CoreFixture.h"

using namespace valdrin;
using namespace valdrin::test;

namespace {
const std::string_view kVolts = "123451121";  // 1.2345 V DC AUTO
const std::string_view kBadRange = "12345B121";

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
} // namespace

TEST(ZentorSerial, FirstFrameAfterOpeningIsDroppedTheNextOnesDecode)
{
    CoreFixture f;
    const Bytes frame = encodeLineFrame(kVolts);
    f.serial(concat({frame, frame, frame}));
    EXPECT_EQ(f.core.framesDecoded, 2u);
    EXPECT_EQ(f.core.cds1.size(), 2u);
    EXPECT_EQ(f.core.S.LastFrame, "123451121DA");
    EXPECT_EQ(f.core.C.USBtxt, "123451121DA");
}

TEST(ZentorSerial, ExtraByteDropsTheFrameUnlessItsEleventhByteEndsInD)
{
    struct Case {
        Bytes frame;
        uint64_t decoded;
    };
    const Case cases[] = {
        {{0x0A, 0x31, 0x32, 0x33, 0x34, 0x35, 0x31, 0x31, 0x32, 0x31, 0x31, 0x0D}, 0},  // twelve bytes up to the CR
        {concat({{0x0A}, {0x31, 0x32, 0x33, 0x34, 0x35, 0x31, 0x31, 0x32, 0x31, 0x3D, 0x30}, {0x0D}}), 1},
    };
    for (const Case& c : cases) {
        CoreFixture f;
        f.serial(c.frame);
        EXPECT_EQ(f.core.framesDecoded, c.decoded);
    }
}

TEST(ZentorSerial, BlockEndingMidFrameIsCompletedByTheNext)
{
    CoreFixture whole, split;
    const Bytes stream = concat({{0x0A}, encodeLineFrame(kVolts), encodeLineFrame("000121121")});
    whole.serial(stream);
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        CoreFixture f;
        f.serial(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut)));
        f.serial(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(cut), stream.end()));
        EXPECT_EQ(f.core.cds1.size(), 2u) << "cut at " << cut;
        EXPECT_EQ(f.core.S.ReadingValue, whole.core.S.ReadingValue);
    }
}

TEST(ZentorSerial, StreamWithoutFrameEndsDoesNotGrowTheAccumulators)
{
    CoreFixture f;
    const Bytes noise(100000, 0x55);
    f.serial(noise);
    EXPECT_LE(f.core.S.FrameDataChars.size(), 64u);
    f.serial(concat({{0x0D, 0x0A}, encodeLineFrame(kVolts)}));
    EXPECT_EQ(f.core.cds1.size(), 1u);  // resynchronised after the noise
}

TEST(TeskarSerial, IndexOfEveryByteMustRunOneToE)
{
    const Bytes frame = encodeTeskarFrame(TeskarFrame().digits("1234").nibbles());
    Bytes missingNine, withCr;  // a 0x0D has high nibble 0: data, not a frame end
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (i != 8)
            missingNine.push_back(frame[i]);
        if (i == 3)
            withCr.push_back(0x0D);
        withCr.push_back(frame[i]);
    }

    CoreFixture good, missing, cr;
    for (CoreFixture* f : {&good, &missing, &cr})
        f->core.serialAssembler = SerialAssembler::Teskar;
    good.serial(frame);
    EXPECT_EQ(good.core.framesDecoded, 1u);
    EXPECT_EQ(good.core.S.ReadingNumber, 1234);

    missing.serial(missingNine);
    EXPECT_EQ(missing.core.framesDecoded, 0u);
    EXPECT_EQ(missing.core.S.LastFrame.size(), 13u);
    EXPECT_EQ(missing.core.S.FrameIndexChars, "");

    cr.serial(withCr);
    EXPECT_EQ(cr.core.framesDecoded, 0u);
}

TEST(UsbZentor, ReportsCarryAFrameUntilAnIdleReport)
{
    CoreFixture f;
    const Bytes meter = encodeLineFrame(kVolts);
    for (const UsbReport& r : encodeUsbFrame(meter, 3)) {  // 3, 3, 3, 2 bytes, then count 0
        EXPECT_EQ(f.core.framesDecoded, 0u);
        f.usbReport(r.data);
    }
    EXPECT_EQ(f.core.framesDecoded, 1u);
    EXPECT_EQ(f.core.S.ReadingValue, "1.2345");
    EXPECT_EQ(f.core.C.USBtxt, "123451121DA");  // the decoder shows the frame itself
    EXPECT_EQ(f.core.C.USBtxt1, "DA");
    EXPECT_EQ(f.core.HistoryListBox.size(), 4u);  // only reports with meter bytes are logged
}

TEST(UsbZentor, CountBIsIdleAndTwoFramesWithoutIdleKeepOnlyTheFirst)
{
    CoreFixture f;
    const Bytes meter = encodeLineFrame(kVolts);
    std::vector<UsbReport> first = encodeUsbFrame(meter, 7), second = encodeUsbFrame(encodeLineFrame("000001121"), 7);
    first.pop_back();  // no idle report between the two frames
    for (const auto& r : first)
        f.usbReport(r.data);
    for (const auto& r : second) {
        if (r.data[0] == 0)
            f.usbReport({0xFB, 0, 0, 0, 0, 0, 0, 0});  // count "B" closes the frame like count 0
        else
            f.usbReport(r.data);
    }
    EXPECT_EQ(f.core.framesDecoded, 1u);
    EXPECT_EQ(f.core.S.ReadingValue, "1.2345");
    EXPECT_TRUE(f.core.S.UsbFrameChars.empty());
}

TEST(Usb, IdleReportWithNothingHeldOnlyCounts)
{
    CoreFixture f;
    f.usbReport({0xF0, 0, 0, 0, 0, 0, 0, 0});
    f.usbReport({});  // no data at all: no count character, not counted
    f.usbReport({0x00});
    EXPECT_EQ(f.core.S.UsbIdleReports, 2);
    EXPECT_EQ(f.core.framesDecoded, 0u);
    EXPECT_TRUE(f.core.HistoryListBox.empty());
}

TEST(Usb, IdleCountStopsAtItsTopUntilBytesArrive)
{
    // The companion has no watchdog to reset the count: a cable that idles for ever
    // must leave it at the top, not run it past.
    CoreFixture f;
    constexpr int32_t top = std::numeric_limits<int32_t>::max();
    f.core.S.UsbIdleReports = top - 1;
    for (int i = 0; i < 3; ++i)
        f.usbReport({0xF0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(f.core.S.UsbIdleReports, top);
    f.usbReport({0xF1, 0x31, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(f.core.S.UsbIdleReports, 0);
}

TEST(Usb, ReportLogLineHasTheCountAndBytesAtFixedPlaces)
{
    CoreFixture f;
    f.usbReport({0xF2, 0x31, 0x32, 0, 0, 0, 0, 0});
    ASSERT_EQ(f.core.HistoryListBox.size(), 1u);
    const std::string& line = f.core.HistoryListBox.back();
    EXPECT_EQ(line, "R 00  F2 31 32 00 00 00 00 00 ");
    EXPECT_EQ(line.size(), 30u);
    EXPECT_EQ(line[7], '2');             // the count character at position 8
    EXPECT_EQ(line.substr(9, 2), "31");  // meter byte 1 at positions 10 and 11
    EXPECT_EQ(f.core.S.UsbFrameChars, "3132");
}

TEST(Usb, HistoryKeepsOnlyTheNewestLines)
{
    CoreFixture f;
    for (int i = 0; i < 10050; ++i)
        f.usbReport({0xF1, static_cast<uint8_t>(i), 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(f.core.HistoryListBox.size(), 10000u);
}

TEST(Usb, HistoryOfTheLongestReportsStaysWithinItsBytes)
{
    // A report of 65,535 bytes logs a line of about 196 kB; ten thousand of them
    // would hold gigabytes.
    CoreFixture f;
    std::vector<uint8_t> report(65535, 0x00);
    report[0] = 0xF1;
    for (int i = 0; i < 60; ++i) {
        report[1] = static_cast<uint8_t>(i);
        f.usbReport(report);
    }
    const BoundedLines& log = f.core.HistoryListBox;
    EXPECT_LE(log.bytes(), BoundedLines::kDefaultByteBound);
    EXPECT_GT(log.bytes() + log.back().size(), BoundedLines::kDefaultByteBound);  // only the oldest went
    EXPECT_EQ(log.back().substr(0, 12), "R 00  F1 3B ");
    EXPECT_EQ(log.selected(), static_cast<long>(log.size()) - 1);
    EXPECT_EQ(log.added(), 60u);
}

TEST(UsbTeskar, FourteenBytesWithTheirIndexDecode)
{
    CoreFixture f;
    for (const UsbReport& r : encodeUsbFrame(encodeTeskarFrame(TeskarFrame().digits("0042").nibbles()), 5))
        f.usbReport(r.data, true);
    EXPECT_EQ(f.core.framesDecoded, 1u);
    EXPECT_EQ(f.core.S.ReadingNumber, 42);
}

// A bad frame costs only itself, on every link: the frames after it in the same
// block are decoded and recorded with consecutive numbers.
TEST(FailedFrame, CostsOnlyItselfOnEverySerialLink)
{
    struct Case {
        const char* name;
        std::function<void(CoreFixture&)> feed;
    };
    const Case cases[] = {
        {"zentor", [](CoreFixture& f) { f.zentor({kVolts, kBadRange, kVolts, "000121121"}); }},
        {"brevast", [](CoreFixture& f) { f.brevast({"11234B00A", "B1234B00A", "11234B00A", "10012B00A"}); }},
        {"teskar",
         [](CoreFixture& f) {
             f.teskar({TeskarFrame().digits("1234").nibbles(), TeskarFrame().digits("    ").nibbles(),
                       TeskarFrame().digits("1234").nibbles(), TeskarFrame().digits("0012").nibbles()});
         }},
    };
    for (const Case& c : cases) {
        CoreFixture f;
        c.feed(f);
        EXPECT_EQ(f.core.framesDecoded, 4u) << c.name;
        EXPECT_EQ(f.core.frameErrors, 1u) << c.name;
        EXPECT_EQ(f.messages.errors.size(), 1u) << c.name;
        ASSERT_EQ(f.core.cds1.size(), 3u) << c.name;
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(f.core.cds1.no(i), static_cast<int32_t>(i + 1)) << c.name;
    }
}
