// The ways a large load takes: rows in the form this system writes them against the
// general packet scanner, long text lines split sixteen bytes at a time, loads that
// fill several chunks of rows while the next one is prepared aside, and the common
// long time format read at once, row numbers read eight digits at a time, and
// texts that repeat the row before.
#include "TableFileFixture.h"

#include "base/IntegerValue.h"
#include "record/ShortText.h"
#include "record/TableFiles.h"
#include "record/TimeText.h"
#include "record/XmlPacketReader.h"
#include "record/XmlPacketWriter.h"

namespace valdrin::testing {
namespace {

using LargeTableFileTest = TableFileTest;

// Logged and unlogged rows, null fields, texts with every escape, texts longer than
// the field, negative and large numbers.
ReadingTable variedTable()
{
    ReadingTable table;
    table.appendReading(1, kAt140327, "DC", "1.234", "V", "AUTO");
    table.appendReading(-2147483647 - 1, 86399999, "AC+DC", "<&>'\"\r\n\t\\", "k*", "MANU");
    TableRow partial;
    partial.No = 2147483647;
    partial.Value = "12345678901234567890";
    partial.logged = false;
    table.append(partial);
    TableRow untimed = reading(4, 0, "", "x", "", "AUTO");
    untimed.TimeMs.reset();
    table.append(untimed);
    table.append(TableRow{});
    for (int32_t i = 0; i < 30; ++i)
        table.appendReading(10 + i, i * 997, i % 3 ? "DC" : "AC", "0." + std::to_string(i), i % 2 ? "mV" : "V",
                            "AUTO");
    return table;
}

std::string packetOf(const ReadingTable& table)
{
    std::string packet;
    EXPECT_TRUE(writeXmlPacket(table, [&](std::string_view bytes) {
        packet.append(bytes);
        return true;
    }));
    return packet;
}

std::vector<TableRow> read(const std::string& packet, std::size_t blockSize)
{
    ReadingTable table;
    XmlPacketReader reader(table);
    for (std::size_t at = 0; at < packet.size(); at += blockSize)
        EXPECT_TRUE(reader.feed(std::string_view(packet).substr(at, blockSize))) << reader.failure();
    EXPECT_TRUE(reader.finish()) << reader.failure();
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < table.size(); ++i)
        rows.push_back(table.row(i));
    return rows;
}

// The same packet with every ROW attribute led by two blanks: no row is in the
// written form, so the general scanner reads them all.
std::string withWiderRows(std::string packet)
{
    for (std::size_t at = packet.find("<ROW "); at != std::string::npos; at = packet.find("<ROW ", at + 1)) {
        const std::size_t end = packet.find("/>", at);
        for (std::size_t quote = packet.find("\" ", at); quote < end; quote = packet.find("\" ", quote + 3))
            packet.insert(quote + 1, " ");
        packet.insert(at + 4, " ");
    }
    return packet;
}

TEST(XmlPacketRowFormsTest, WrittenRowsAndTheGeneralScannerGiveTheSameTable)
{
    const ReadingTable source = variedTable();
    const std::string packet = packetOf(source);
    const std::string wider = withWiderRows(packet);
    ASSERT_NE(wider, packet);
    std::vector<TableRow> expected;
    for (std::size_t i = 0; i < source.size(); ++i)
        expected.push_back(source.row(i));
    for (const std::size_t blockSize : {std::size_t{1}, std::size_t{5}, std::size_t{64}, std::size_t{1} << 20}) {
        EXPECT_EQ(read(packet, blockSize), expected) << blockSize;
        EXPECT_EQ(read(wider, blockSize), expected) << blockSize;
    }
}

TEST(XmlPacketRowFormsTest, ARowTheWrittenFormRefusesStillFailsOrPassesAsBefore)
{
    const std::string head = packetOf(ReadingTable()).substr(0, packetOf(ReadingTable()).find("<ROWDATA>") + 9);
    const std::string tail = "</ROWDATA></DATAPACKET>";
    auto loads = [&](const std::string& row) {
        ReadingTable table;
        XmlPacketReader reader(table);
        return reader.feed(head + row + tail) && reader.finish();
    };
    EXPECT_TRUE(loads("<ROW No=\"1\" Value=\"a&amp;b\"/>"));
    EXPECT_TRUE(loads("<ROW Value=\"1\" No=\"2\"/>"));  // another order
    EXPECT_TRUE(loads("<ROW No=\"1\" Time=\"00:00:01000\"></ROW>"));
    EXPECT_TRUE(loads("<ROW/>"));
    EXPECT_FALSE(loads("<ROW No=\"1\" Time=\"00:00:01000\"><ROW/></ROW>"));
    EXPECT_FALSE(loads("<ROW No=\"99999999999\"/>"));
    EXPECT_FALSE(loads("<ROW RowState=\"\" No=\"1\"/>"));
    EXPECT_FALSE(loads("<ROW Time=\"00:00:60000\"/>"));
    EXPECT_FALSE(loads("<ROW No=\"1\" Value=\"a<b\"/>"));
    EXPECT_FALSE(loads("<ROW No=\"1\" Units=\"V\"/>"));
}

// Rows whose DC/AC, or Unit and Auto, repeat the row before in part or in whole:
// the same table by the written form and by the general scanner, cut anywhere.
TEST(XmlPacketRowFormsTest, RowsRepeatingTheRowBeforeGiveTheSameTableAsTheScanner)
{
    ReadingTable source;
    const char* modes[] = {"DC", "DC", "AC", "", "DC", "D", "DCX"};
    const char* units[] = {"V", "V", "V", "mV", "", "V", "Vx"};
    const char* ranges[] = {"AUTO", "AUTO", "MANU", "AUTO", "AUTO", "", "AUTOS"};
    for (int32_t i = 0; i < 200; ++i) {
        TableRow row = reading(i + 1, i * 400, modes[i / 3 % 7], std::to_string(i % 13), units[i / 2 % 7],
                               ranges[i / 5 % 7]);
        row.logged = i % 11 != 0;
        if (i % 17 == 0)
            row.Value.clear();
        if (i % 19 == 0)
            row.TimeMs.reset();
        source.append(row);
    }
    const std::string packet = packetOf(source);
    std::vector<TableRow> expected;
    for (std::size_t i = 0; i < source.size(); ++i)
        expected.push_back(source.row(i));
    for (const std::size_t blockSize : {std::size_t{1}, std::size_t{7}, std::size_t{100}, std::size_t{1} << 20}) {
        EXPECT_EQ(read(packet, blockSize), expected) << blockSize;
        EXPECT_EQ(read(withWiderRows(packet), blockSize), expected) << blockSize;
    }
}

TEST(XmlPacketRowFormsTest, ARowAfterOneOfTheSameTextsFailsOrPassesAsAlone)
{
    const std::string head = packetOf(ReadingTable()).substr(0, packetOf(ReadingTable()).find("<ROWDATA>") + 9);
    const std::string tail = "</ROWDATA></DATAPACKET>";
    const std::string before = "<ROW RowState=\"4\" No=\"1\" Time=\"00:00:01000\" DC/AC=\"DC\" Value=\"1\" Unit=\"V\" "
                               "Auto=\"AUTO\"/>";
    auto rows = [&](const std::string& rowData, bool& loaded) {
        ReadingTable table;
        XmlPacketReader reader(table);
        loaded = reader.feed(head + rowData + tail) && reader.finish();
        std::vector<TableRow> out;
        for (std::size_t i = 0; i < table.size(); ++i)
            out.push_back(table.row(i));
        return out;
    };
    const std::string lead = "<ROW RowState=\"4\" No=\"2\" Time=\"00:00:02000\"";
    for (const std::string& row : std::vector<std::string>{
             lead + " DC/AC=\"DC\" Value=\"2\" Unit=\"V\" Auto=\"AUTO\"/>",
             lead + " DC/AC=\"DC\" Unit=\"V\" Auto=\"AUTO\"/>",
             lead + " DC/AC=\"DC\" DC/AC=\"AC\" Value=\"2\" Unit=\"V\" Auto=\"AUTO\"/>",
             lead + " DC/AC=\"DCX\" Value=\"2\" Unit=\"V\" Auto=\"AUTO\"/>",
             lead + " DC/AC=\"DC\" Value=\"2\" Unit=\"V\" Auto=\"AUTO\" Range=\"1\"/>",
             lead + " DC/AC=\"DC\" Value=\"2\" Unit=\"V\" Auto=\"AUTO\"></ROW>",
             lead + " DC/AC=\"DC\" Value=\"2\" Unit=\"V\" Auto=\"AUTOS\"/>",
             lead + " DC/AC=\"DC\" Value=\"2\" Unit=\"V\" Auto=\"AUTO\" Unit=\"V\"/>",
             lead + " DC/AC=\"DC\" Value=\"2\" Unit=\"V\" Auto=\"AU&amp;TO\"/>",
             lead + " Value=\"2\" Unit=\"V\" Auto=\"AUTO\"/>",
         }) {
        bool aloneLoaded = false, afterLoaded = false, firstLoaded = false;
        std::vector<TableRow> alone = rows(row, aloneLoaded);
        const std::vector<TableRow> after = rows(before + row, afterLoaded);
        std::vector<TableRow> expected = rows(before, firstLoaded);
        ASSERT_TRUE(firstLoaded);
        EXPECT_EQ(afterLoaded, aloneLoaded) << row;
        if (aloneLoaded) {
            expected.insert(expected.end(), alone.begin(), alone.end());
            EXPECT_EQ(after, expected) << row;
        }
    }
}

TEST(DigitsValueTest, OneToEightDigitsReadAsTheGeneralRules)
{
    for (const std::string& text : std::vector<std::string>{"0", "7", "10", "00000042", "12345678", "99999999", "123456789", "", "+1", "-1",
                                   "12a4", "1 ", "/", ":", "9:", "0/", "\x80", "1234567\xB9"}) {
        char bytes[32];
        std::memset(bytes, '5', sizeof bytes);  // digits after the text must not count
        std::memcpy(bytes, text.data(), text.size());
        int32_t general = 0;
        const bool generalRead = text.size() <= 8 && tryIntegerValue(text, general) && text[0] != '+' &&
                                 text[0] != '-';
        uint32_t value = 0;
        const std::string_view view(bytes, text.size());
        EXPECT_EQ(shorttext::digitsValue(view, bytes + sizeof bytes, value), generalRead) << text;
        if (generalRead) {
            EXPECT_EQ(static_cast<int32_t>(value), general) << text;
        }
        EXPECT_FALSE(shorttext::digitsValue(view, bytes + 7, value)) << text;  // fewer than eight bytes readable
    }
}

// Pieces longer than sixteen bytes, control characters inside them, a line end just
// before and after a sixteen-byte boundary.
TEST(TextTableReaderTest, LongLinesSplitTheSameInBlocksOfAnySize)
{
    const std::string file = "No\tTime\tDC/AC\tValue\tUnit\tAuto and a long header line\r\n"
                             "123456789\t12:34:56\tDC\t1.5\x0b\x0c\x01\x02 and more text\tV\tAUTO\r\n"
                             "2\t00:00:02\t\t\t\t\r\n"
                             "3\t00:00:03\tAC\t0123456789012345678901234\tmA\tMANU\n"
                             "4\t01:02:03\tDC\t1.00000\tV\tAUTO\r"
                             "5\t23:59:59\tAC\t2\tk*\tMANU with a long range text\r\n";
    const std::vector<TableRow> expected = {
        reading(123456789, 45296000, "DC", std::string("1.5\x0b\x0c\x01\x02 and more tex"), "V", "AUTO"),
        reading(2, 2000, "", "", "", ""),
        reading(3, 3000, "AC", "01234567890123456789", "mA", "MANU"),
        reading(4, 3723000, "DC", "1.00000", "V", "AUTO"),
        reading(5, 86399000, "AC", "2", "k*", "MANU with a long ran"),
    };
    for (const std::size_t blockSize : {std::size_t{1}, std::size_t{7}, std::size_t{16}, std::size_t{17}, file.size()}) {
        ReadingTable table;
        TextTableReader reader(table, "%H:%M:%S");
        for (std::size_t at = 0; at < file.size(); at += blockSize)
            ASSERT_TRUE(reader.feed(std::string_view(file).substr(at, blockSize))) << blockSize;
        ASSERT_TRUE(reader.finish()) << blockSize;
        std::vector<TableRow> rows;
        for (std::size_t i = 0; i < table.size(); ++i)
            rows.push_back(table.row(i));
        EXPECT_EQ(rows, expected) << blockSize;
    }
}

TEST(TextTableReaderTest, ASeventhPieceInALongLineFails)
{
    const std::string file = "h\r\n1\t00:00:01\tDC\t1.5\tV\tAUTO\r\n"
                             "2\t00:00:02\tDC\t1.5\tV\tAUTO\tseventh piece\r\n";
    for (const std::size_t blockSize : {std::size_t{3}, file.size()}) {
        ReadingTable table;
        TextTableReader reader(table, "%H:%M:%S");
        bool ok = true;
        for (std::size_t at = 0; at < file.size() && ok; at += blockSize)
            ok = reader.feed(std::string_view(file).substr(at, blockSize));
        EXPECT_FALSE(ok && reader.finish()) << blockSize;
        EXPECT_EQ(table.size(), 1u) << blockSize;
    }
}

// More rows than three chunks hold: every chunk boundary of a load, in both formats.
TEST_F(LargeTableFileTest, LoadsOfSeveralChunksKeepEveryRow)
{
    ReadingTable source;
    constexpr int32_t kRows = 3 * 65536 + 123;
    for (int32_t i = 0; i < kRows; ++i)
        source.appendReading(i + 1, (i * 400) % kMsPerDay, i % 7 ? "DC" : "AC", std::to_string(i % 1000) + ".5",
                             i % 3 ? "V" : "mV", "AUTO");
    ASSERT_TRUE(SaveTableFile(source, path("big.xml"), messages));
    ASSERT_TRUE(SaveTableFile(source, path("big.txt"), messages));

    ReadingTable fromXml;
    ASSERT_TRUE(LoadTableFile(path("big.xml"), fromXml, false, messages));
    EXPECT_EQ(fromXml.loggedCount(), source.size());
    ReadingTable fromText;
    fromText.appendReading(0, 0, "DC", "0", "V", "AUTO");  // a text load adds its rows
    ASSERT_TRUE(LoadTableFile(path("big.txt"), fromText, false, messages));
    ASSERT_EQ(fromXml.size(), source.size());
    ASSERT_EQ(fromText.size(), source.size() + 1);
    for (std::size_t i = 0; i < source.size(); ++i) {
        TableRow expected = source.row(i);
        ASSERT_EQ(fromXml.row(i), expected) << i;
        expected.TimeMs = *expected.TimeMs / 1000 * 1000;  // the text shows whole seconds
        ASSERT_EQ(fromText.row(i + 1), expected) << i;
    }
    fromText.appendReading(kRows + 1, 0, "DC", "1", "V", "AUTO");  // recording goes on after a load
    EXPECT_EQ(fromText.size(), source.size() + 2);
}

TEST(TimeOfDayFormatTest, TheCommonFormatReadsAsTheGeneralRules)
{
    const TimeOfDayFormat format("%H:%M:%S");
    EXPECT_EQ(format.parse("00:00:00"), 0);
    EXPECT_EQ(format.parse("23:59:59"), 86399000);
    EXPECT_EQ(format.parse("1:02:03"), 3723000);  // one digit is a number too
    EXPECT_EQ(format.parse("24:00:00"), std::nullopt);
    EXPECT_EQ(format.parse("12:60:00"), std::nullopt);
    EXPECT_EQ(format.parse("12:00:60"), std::nullopt);
    EXPECT_EQ(format.parse("1a:00:00"), std::nullopt);
    EXPECT_EQ(format.parse("12:00:00 "), std::nullopt);
    int32_t ms = -1;
    EXPECT_TRUE(format.parse("14:03:27", ms));
    EXPECT_EQ(ms, kAt140327);
}

TEST(TimeOfDayFormatTest, FormatsNoLongerThanItsLongestText)
{
    for (const char* pattern : {"%H:%M:%S", "%r", "%k.%l %P %%", "at %R%n%t", "%E", "%"}) {
        const TimeOfDayFormat format(pattern);
        std::string out(format.maxLength() + 1, '#');
        for (const int32_t ms : {0, 3723000, 46800000, 86399999}) {
            const std::size_t length = format.formatTo(out.data(), ms);
            EXPECT_LE(length, format.maxLength()) << pattern;
            EXPECT_EQ(out.substr(0, length), format.format(ms)) << pattern;
            EXPECT_EQ(out.back(), '#') << pattern;
        }
    }
    EXPECT_EQ(formatTimeOfDay(46800000, "%k.%l %P %%"), "13.1 pm %");
}

} // namespace
} // namespace valdrin::testing
