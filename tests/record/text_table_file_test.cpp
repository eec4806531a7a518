// The tab-separated text file on disk: exact bytes, trimming and NULL, loading with
// its failures, and SplitLine.
#include "TableFileFixture.h"

#include "record/TableFiles.h"
#include "record/TextTableFile.h"

namespace valdrin::testing {
namespace {

using TextTableFileTest = TableFileTest;

constexpr const char* kHeader = "No\tTime\tDC/AC\tValue\tUnit\tAuto\r\n";

TEST_F(TextTableFileTest, OneRowSavesHeaderAndRowEachEndedByCrLf)
{
    ReadingTable table;
    table.append(reading(1, kAt140327, "DC", "1.234", "V", "AUTO"));
    ASSERT_TRUE(SaveTableFile(table, path("a.txt"), messages));

    EXPECT_EQ(readBytes(path("a.txt")), std::string(kHeader) + "1\t14:03:27\tDC\t1.234\tV\tAUTO\r\n");
    EXPECT_EQ(messages.shown, (std::vector<Message>{{"information",
                                                    "Save table to specified file: " + path("a.txt") + " Scuss!",
                                                    "Information"}}));
}

TEST_F(TextTableFileTest, FieldsAreTrimmedAndEmptyOnesWrittenAsNull)
{
    ReadingTable table;
    TableRow untimed;  // no No, no Time
    untimed.Value = " \t1.5\x01 ";
    untimed.Unit = "   ";
    table.append(untimed);
    table.append(reading(-7, 0, "", " AC ", "m*", "MANU"));
    ASSERT_TRUE(SaveTableFile(table, path("t.xls"), messages));

    EXPECT_EQ(readBytes(path("t.xls")), std::string(kHeader) +
                                            "\tNULL\tNULL\t1.5\tNULL\tNULL\r\n"
                                            "-7\t00:00:00\tNULL\tAC\tm*\tMANU\r\n");
}

TEST_F(TextTableFileTest, HeaderFollowsTheGridsColumnTitles)
{
    ReadingTable table;
    TableFileOptions options;
    options.columnTitles = {"Time", "No", "Unit"};
    ASSERT_TRUE(SaveTableFile(table, path("h.txt"), messages, options));
    EXPECT_EQ(readBytes(path("h.txt")), "Time\tNo\tUnit\r\n");
}

TEST_F(TextTableFileTest, NullRoundTripsAsTheTextNull)
{
    ReadingTable table;
    table.append(reading(1, kAt140327, "", "1.234", "V", "AUTO"));
    ASSERT_TRUE(SaveTableFile(table, path("n.txt"), messages));

    ReadingTable loaded;
    ASSERT_TRUE(LoadTableFile(path("n.txt"), loaded, false, messages));
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded.row(0), reading(1, kAt140327, "NULL", "1.234", "V", "AUTO"));
}

TEST_F(TextTableFileTest, LoadingTwiceAddsEveryRowTwiceAfterTheRowsThere)
{
    ReadingTable table;
    table.append(reading(1, kAt140327, "DC", "1.234", "V", "AUTO"));
    table.append(reading(2, kAt140327 + 1000, "AC", "0.5", "mA", "MANU"));
    ASSERT_TRUE(SaveTableFile(table, path("twice.txt"), messages));

    ReadingTable target;
    target.append(reading(9, 5000, "DC", "9", "k*", "AUTO"));
    ASSERT_TRUE(LoadTableFile(path("twice.txt"), target, false, messages));
    ASSERT_TRUE(LoadTableFile(path("twice.txt"), target, false, messages));
    const std::vector<TableRow> expected = {target.row(0), table.row(0), table.row(1), table.row(0), table.row(1)};
    EXPECT_EQ(rowsOf(target), expected);
    EXPECT_EQ(target.loggedCount(), 5u);  // loaded rows are appended rows
    EXPECT_TRUE(std::find_if(messages.shown.begin(), messages.shown.end(),
                             [](const Message& m) { return m.kind == "error"; }) == messages.shown.end());
}

TEST_F(TextTableFileTest, EmptyFirstReplacesTheRows)
{
    writeBytes(path("e.txt"), std::string(kHeader) + "3\t10:00:00\tDC\t1\tV\tAUTO\r\n");
    ReadingTable table;
    table.append(reading(1, 0, "DC", "0", "V", "AUTO"));
    ASSERT_TRUE(LoadTableFile(path("e.txt"), table, true, messages));
    EXPECT_EQ(rowsOf(table), (std::vector<TableRow>{reading(3, 36000000, "DC", "1", "V", "AUTO")}));
}

struct LineEnds {
    const char* name;
    std::string bytes;
};

class TextLineEndTest : public TableFileTest, public ::testing::WithParamInterface<LineEnds> {};

TEST_P(TextLineEndTest, AnyLineEndEndsALine)
{
    writeBytes(path("l.txt"), GetParam().bytes);
    ReadingTable table;
    ASSERT_TRUE(LoadTableFile(path("l.txt"), table, false, messages));
    EXPECT_EQ(rowsOf(table), (std::vector<TableRow>{reading(1, 1000, "DC", "1", "V", "AUTO"),
                                                    reading(2, 2000, "AC", "2", "A", "MANU")}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextLineEndTest,
    ::testing::Values(
        LineEnds{"CrLf", "h\r\n1\t00:00:01\tDC\t1\tV\tAUTO\r\n2\t00:00:02\tAC\t2\tA\tMANU\r\n"},
        LineEnds{"Lf", "h\n1\t00:00:01\tDC\t1\tV\tAUTO\n2\t00:00:02\tAC\t2\tA\tMANU\n"},
        LineEnds{"Cr", "h\r1\t00:00:01\tDC\t1\tV\tAUTO\r2\t00:00:02\tAC\t2\tA\tMANU\r"},
        LineEnds{"NoLastLineEnd", "h\r\n1\t00:00:01\tDC\t1\tV\tAUTO\r\n2\t00:00:02\tAC\t2\tA\tMANU"},
        LineEnds{"Mixed", "h\n1\t00:00:01\tDC\t1\tV\tAUTO\r2\t00:00:02\tAC\t2\tA\tMANU\r\n"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(TextTableFileTest, PiecesAreStoredAsTheyStand)
{
    writeBytes(path("p.txt"), "anything at all\r\n"
                              "5\r\n"
                              "6\t00:00:06\r\n"
                              "7\t00:00:07\t DC \t\tNULL\r\n"
                              "8\t00:00:08\tDC\t123456789012345678901234\tV\tAUTO\r\n");
    ReadingTable table;
    ASSERT_TRUE(LoadTableFile(path("p.txt"), table, false, messages));
    TableRow onlyNo;
    onlyNo.No = 5;
    TableRow noAndTime;
    noAndTime.No = 6;
    noAndTime.TimeMs = 6000;
    EXPECT_EQ(rowsOf(table), (std::vector<TableRow>{onlyNo, noAndTime, reading(7, 7000, " DC ", "", "NULL", ""),
                                                    reading(8, 8000, "DC", "12345678901234567890", "V", "AUTO")}));
}

TEST_F(TextTableFileTest, AHeaderOnlyFileLoadsNoRow)
{
    writeBytes(path("h.txt"), kHeader);
    ReadingTable table;
    EXPECT_TRUE(LoadTableFile(path("h.txt"), table, false, messages));
    EXPECT_TRUE(table.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TextTableFileTest, TwelveHourLongTimeFormatRoundTrips)
{
    TableFileOptions options;
    options.longTimeFormat = "%I:%M:%S %p";
    ReadingTable table;
    table.append(reading(1, kAt140327, "DC", "1", "V", "AUTO"));
    table.append(reading(2, 5000, "DC", "1", "V", "AUTO"));
    ASSERT_TRUE(SaveTableFile(table, path("12.txt"), messages, options));
    EXPECT_NE(readBytes(path("12.txt")).find("\t02:03:27 PM\t"), std::string::npos);
    ReadingTable loaded;
    ASSERT_TRUE(LoadTableFile(path("12.txt"), loaded, false, messages, options));
    EXPECT_EQ(rowsOf(loaded), rowsOf(table));
}

struct FailingText {
    const char* name;
    std::string body;       // the file's bytes
    std::size_t rowsAdded;  // rows of the lines before the failing one
};

class TextLoadFailureTest : public TableFileTest, public ::testing::WithParamInterface<FailingText> {};

TEST_P(TextLoadFailureTest, FailsWithTheSystemsMessageAndAddsNoHalfRow)
{
    writeBytes(path("bad.txt"), GetParam().body);
    ReadingTable table;
    const TableRow before = reading(40, 1000, "DC", "4", "V", "AUTO");
    table.append(before);

    EXPECT_FALSE(LoadTableFile(path("bad.txt"), table, false, messages));
    EXPECT_EQ(messages.shown, (std::vector<Message>{{"error", "Failed to Load File!", "Error"}}));
    ASSERT_EQ(table.size(), 1 + GetParam().rowsAdded);
    EXPECT_EQ(table.row(0), before);
    for (std::size_t i = 1; i < table.size(); ++i)
        EXPECT_EQ(table.row(i), reading(static_cast<int32_t>(i), static_cast<int32_t>(i) * 1000, "DC", "1", "V", "AUTO"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextLoadFailureTest,
    ::testing::Values(
        FailingText{"EmptyFile", "", 0},
        FailingText{"EmptyLine", "h\r\n1\t00:00:01\tDC\t1\tV\tAUTO\r\n\r\n2\t00:00:02\tDC\t1\tV\tAUTO\r\n", 1},
        FailingText{"SevenPieces", "h\r\n1\t00:00:01\tDC\t1\tV\tAUTO\r\n2\t00:00:02\tDC\t1\tV\tAUTO\tx\r\n", 1},
        FailingText{"NullNo", "h\r\nNULL\t00:00:01\tDC\t1\tV\tAUTO\r\n", 0},
        FailingText{"LettersInTime", "h\r\n1\t00:00:01\tDC\t1\tV\tAUTO\r\n2\t00:0x:02\tDC\t1\tV\tAUTO\r\n", 1},
        FailingText{"NullTime", "h\r\n1\tNULL\tDC\t1\tV\tAUTO\r\n", 0},
        FailingText{"NoBeyond32Bits", "h\r\n2147483648\t00:00:01\tDC\t1\tV\tAUTO\r\n", 0},
        FailingText{"FailingLastLineWithoutLineEnd",
                    "h\r\n1\t00:00:01\tDC\t1\tV\tAUTO\r\n2\t00:00:02\tDC\t1\tV\tAUTO\r\nx", 2}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(TextTableFileTest, AFileThatDoesNotExistFailsAndLeavesTheTable)
{
    ReadingTable table;
    table.append(reading(1, 0, "DC", "1", "V", "AUTO"));
    EXPECT_FALSE(LoadTableFile(path("missing.txt"), table, false, messages));
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(messages.shown, (std::vector<Message>{{"error", "Failed to Load File!", "Error"}}));
}

// Blocks of the file end anywhere: inside pieces, between CR and LF, in the header.
TEST(TextTableReaderTest, ReadsTheSameRowsInBlocksOfAnySize)
{
    const std::string file = "No\tTime\tDC/AC\tValue\tUnit\tAuto\r\n"
                             "1\t00:00:01\tDC\t1.5\tV\tAUTO\r\n"
                             "2\t00:00:02\r"
                             "3\t00:00:03\tAC\t\tmA\tMANU\n"
                             "4\r\n"
                             "5\t00:00:05\tDC\t0.25\tk*\tAUTO";
    ReadingTable whole;
    {
        TextTableReader reader(whole, "%H:%M:%S");
        ASSERT_TRUE(reader.feed(file));
        ASSERT_TRUE(reader.finish());
    }
    ASSERT_EQ(whole.size(), 5u);
    EXPECT_EQ(whole.row(2), reading(3, 3000, "AC", "", "mA", "MANU"));
    for (const std::size_t blockSize : {1, 2, 3, 5, 8, 13}) {
        ReadingTable table;
        TextTableReader reader(table, "%H:%M:%S");
        for (std::size_t at = 0; at < file.size(); at += blockSize)
            ASSERT_TRUE(reader.feed(std::string_view(file).substr(at, blockSize))) << blockSize;
        ASSERT_TRUE(reader.finish());
        ASSERT_EQ(table.size(), whole.size()) << blockSize;
        for (std::size_t i = 0; i < table.size(); ++i)
            EXPECT_EQ(table.row(i), whole.row(i)) << "block " << blockSize << " row " << i;
    }
}

TEST(TextTableReaderTest, ASeventhPieceFailsInBlocksOfAnySize)
{
    const std::string file = "h\r\n1\t00:00:01\r\n2\t00:00:02\ta\tb\tc\td\te\r\n";
    for (const std::size_t blockSize : {1, 4, 64}) {
        ReadingTable table;
        TextTableReader reader(table, "%H:%M:%S");
        bool ok = true;
        for (std::size_t at = 0; at < file.size() && ok; at += blockSize)
            ok = reader.feed(std::string_view(file).substr(at, blockSize));
        EXPECT_FALSE(ok && reader.finish()) << blockSize;
        EXPECT_EQ(table.size(), 1u) << blockSize;
    }
}

struct Split {
    std::string text;
    std::vector<std::string> pieces;
};

class SplitLineTest : public ::testing::TestWithParam<Split> {};

TEST_P(SplitLineTest, GivesThePiecesBetweenSeparatorsAndReplacesTheList)
{
    std::vector<std::string> list = {"stale"};
    SplitLine(GetParam().text, '\t', list);
    EXPECT_EQ(list, GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(Pieces, SplitLineTest,
                         ::testing::Values(Split{"", {""}}, Split{"a", {"a"}}, Split{"a\tb", {"a", "b"}},
                                           Split{"a\t\tb", {"a", "", "b"}}, Split{"\t", {"", ""}},
                                           Split{"a\t", {"a", ""}}, Split{"\ta b\t c", {"", "a b", " c"}}));

} // namespace
} // namespace valdrin::testing
