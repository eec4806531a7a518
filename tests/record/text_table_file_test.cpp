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
    EXPECT_EQ(shown(), (std::vector<Message>{{"information",
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
    const std::vector<Message> messagesShown = shown();
    EXPECT_TRUE(std::none_of(messagesShown.begin(), messagesShown.end(),
                             [](const Message& m) { return m.kind == "error"; }));
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

// The save writes a row without a number with an empty No and one without a time
// with NULL as Time: both load back without them.
TEST_F(TextTableFileTest, RowsWithoutNumberOrTimeLoadBackWithout)
{
    ReadingTable table;
    TableRow untimed = reading(4, 0, "DC", "1", "V", "AUTO");
    untimed.TimeMs.reset();
    TableRow unnumbered = reading(0, kAt140327, "AC", "2", "A", "MANU");
    unnumbered.No.reset();
    TableRow neither;
    neither.Value = "3";
    table.append(untimed);
    table.append(unnumbered);
    table.append(neither);
    ASSERT_TRUE(SaveTableFile(table, path("n.txt"), messages));
    EXPECT_EQ(readBytes(path("n.txt")), std::string(kHeader) +
                                            "4\tNULL\tDC\t1\tV\tAUTO\r\n"
                                            "\t14:03:27\tAC\t2\tA\tMANU\r\n"
                                            "\tNULL\tNULL\t3\tNULL\tNULL\r\n");

    ReadingTable loaded;
    ASSERT_TRUE(LoadTableFile(path("n.txt"), loaded, false, messages));
    TableRow neitherLoaded = reading(0, 0, "NULL", "3", "NULL", "NULL");
    neitherLoaded.No.reset();
    neitherLoaded.TimeMs.reset();
    EXPECT_EQ(rowsOf(loaded), (std::vector<TableRow>{untimed, unnumbered, neitherLoaded}));
    EXPECT_EQ(shown().back(), (Message{"information", "Save table to specified file: " + path("n.txt") + " Scuss!",
                                       "Information"}));
}

// The text file has no escape: a tab or line end inside a field, reachable from a
// packet's character references, is written as a blank, so the line stays one row.
TEST_F(TextTableFileTest, ControlCharactersInsideAFieldAreWrittenAsBlanks)
{
    writeBytes(path("in.xml"), "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                               "<FIELD attrname=\"No\" fieldtype=\"i4\"/><FIELD attrname=\"Time\" fieldtype=\"time\"/>"
                               "<FIELD attrname=\"DC/AC\" fieldtype=\"string\" WIDTH=\"20\"/>"
                               "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
                               "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
                               "<FIELD attrname=\"Auto\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS><PARAMS/>"
                               "</METADATA><ROWDATA><ROW No=\"1\" Time=\"14:03:27000\" DC/AC=\"D&#9;C\" "
                               "Value=\"a&#13;&#10;99&#9;23:59:59\" Unit=\"V&#1;\" Auto=\"AU&#10;TO\"/>"
                               "</ROWDATA></DATAPACKET>");
    ReadingTable table;
    ASSERT_TRUE(LoadTableFile(path("in.xml"), table, false, messages));
    ASSERT_EQ(table.text(0, Field::Value), "a\r\n99\t23:59:59");
    ASSERT_TRUE(SaveTableFile(table, path("out.txt"), messages));
    EXPECT_EQ(readBytes(path("out.txt")), std::string(kHeader) + "1\t14:03:27\tD C\ta  99 23:59:59\tV\tAU TO\r\n");

    ReadingTable loaded;
    ASSERT_TRUE(LoadTableFile(path("out.txt"), loaded, false, messages));
    EXPECT_EQ(rowsOf(loaded), (std::vector<TableRow>{reading(1, kAt140327, "D C", "a  99 23:59:59", "V", "AU TO")}));
}

TEST_F(TextTableFileTest, AHeaderOnlyFileLoadsNoRow)
{
    writeBytes(path("h.txt"), kHeader);
    ReadingTable table;
    EXPECT_TRUE(LoadTableFile(path("h.txt"), table, false, messages));
    EXPECT_TRUE(table.empty());
    EXPECT_TRUE(shown().empty());
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
    EXPECT_EQ(shown(), (std::vector<Message>{{"error", "Failed to Load File!", "Error"}}));
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
        FailingText{"EmptyTime", "h\r\n1\t00:00:01\tDC\t1\tV\tAUTO\r\n2\t\tDC\t1\tV\tAUTO\r\n", 1},
        FailingText{"NullInTimeWithOtherText", "h\r\n1\tNULL \tDC\t1\tV\tAUTO\r\n", 0},
        FailingText{"BlankNo", "h\r\n \t00:00:01\tDC\t1\tV\tAUTO\r\n", 0},
        FailingText{"NoBeyond32Bits", "h\r\n2147483648\t00:00:01\tDC\t1\tV\tAUTO\r\n", 0},
        FailingText{"FailingLastLineWithoutLineEnd",
                    "h\r\n1\t00:00:01\tDC\t1\tV\tAUTO\r\n2\t00:00:02\tDC\t1\tV\tAUTO\r\nx", 2}),
    [](const auto& test) { return std::string(test.param.name); });

struct LineLength {
    const char* name;
    bool header;        // the long line is the header, else the second row
    std::size_t bytes;  // its length without the line end
};

class TextLineLengthTest : public TableFileTest, public ::testing::WithParamInterface<LineLength> {
protected:
    bool loads() const { return GetParam().bytes <= kMaxLineBytes; }
    static constexpr std::size_t kShort = 41;  // a Value of 20 characters
    // A row of the given length: its Value piece takes what the others leave.
    static std::string rowOf(int32_t no, std::size_t bytes)
    {
        std::string line = std::to_string(no) + "\t00:00:0" + std::to_string(no) + "\tDC\t";
        line += std::string(bytes - line.size() - 7, 'x');
        return line + "\tV\tAUTO";
    }
    std::string file() const
    {
        const std::string header = GetParam().header ? std::string(GetParam().bytes, 'h') : "h";
        const std::string second = GetParam().header ? rowOf(2, kShort) : rowOf(2, GetParam().bytes);
        return header + "\r\n" + rowOf(1, kShort) + "\r\n" + second + "\r\n" + rowOf(3, kShort) + "\r\n";
    }
    // What the table holds after the load: every row, or those before the long line.
    std::vector<TableRow> expectedRows() const
    {
        std::vector<TableRow> rows;
        for (int32_t no = 1; no <= 3; ++no)
            rows.push_back(reading(no, no * 1000, "DC", std::string(20, 'x'), "V", "AUTO"));
        if (!loads())
            rows.resize(GetParam().header ? 0 : 1);
        return rows;
    }
};

// A line longer than the bound fails the load whether it lies in one block or comes
// in many; the rows before it stay.
TEST_P(TextLineLengthTest, ALineUpToTheBoundLoadsALongerOneFails)
{
    writeBytes(path("l.txt"), file());
    ReadingTable table;
    EXPECT_EQ(LoadTableFile(path("l.txt"), table, false, messages), loads());
    EXPECT_EQ(rowsOf(table), expectedRows());
    const std::vector<Message> failed = {{"error", "Failed to Load File!", "Error"}};
    EXPECT_EQ(shown(), loads() ? std::vector<Message>() : failed);

    for (const std::size_t blockSize : {std::size_t{1}, std::size_t{4096}}) {
        ReadingTable inBlocks;
        TextTableReader reader(inBlocks, "%H:%M:%S");
        const std::string bytes = file();
        bool ok = true;
        for (std::size_t at = 0; at < bytes.size() && ok; at += blockSize)
            ok = reader.feed(std::string_view(bytes).substr(at, blockSize));
        EXPECT_EQ(ok && reader.finish(), loads()) << blockSize;
        EXPECT_EQ(rowsOf(inBlocks), expectedRows()) << blockSize;
    }
}

INSTANTIATE_TEST_SUITE_P(Bound, TextLineLengthTest,
                         ::testing::Values(LineLength{"RowAtTheBound", false, kMaxLineBytes},
                                           LineLength{"RowPastTheBound", false, kMaxLineBytes + 1},
                                           LineLength{"HeaderAtTheBound", true, kMaxLineBytes},
                                           LineLength{"HeaderPastTheBound", true, kMaxLineBytes + 1}),
                         [](const auto& test) { return std::string(test.param.name); });

// A source without line ends (a device) fails the load instead of being taken in
// whole.
TEST_F(TextTableFileTest, ASourceWithoutLineEndsFails)
{
    ReadingTable table;
    EXPECT_FALSE(LoadTableFile("/dev/zero", table, false, messages));
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(shown(), (std::vector<Message>{{"error", "Failed to Load File!", "Error"}}));
}

TEST_F(TextTableFileTest, AFileThatDoesNotExistFailsAndLeavesTheTable)
{
    ReadingTable table;
    table.append(reading(1, 0, "DC", "1", "V", "AUTO"));
    EXPECT_FALSE(LoadTableFile(path("missing.txt"), table, false, messages));
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(shown(), (std::vector<Message>{{"error", "Failed to Load File!", "Error"}}));
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
    const char* name;
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
                         ::testing::Values(Split{"Empty", "", {""}}, Split{"NoSeparator", "a", {"a"}},
                                           Split{"OneSeparator", "a\tb", {"a", "b"}},
                                           Split{"AdjacentSeparators", "a\t\tb", {"a", "", "b"}},
                                           Split{"OnlyASeparator", "\t", {"", ""}},
                                           Split{"SeparatorAtTheEnd", "a\t", {"a", ""}},
                                           Split{"BlanksKept", "\ta b\t c", {"", "a b", " c"}}),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace valdrin::testing
