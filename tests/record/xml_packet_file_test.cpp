// The XML data packet on disk: exact bytes, escapes, the change log, replacing
// loads, and every packet the reader must refuse with the table left as it was.
#include "TableFileFixture.h"

#include "record/TableFiles.h"
#include "record/XmlPacketReader.h"
#include "record/XmlPacketWriter.h"

#include <cctype>

namespace valdrin::testing {
namespace {

using XmlPacketFileTest = TableFileTest;

const std::string kMetadataHead =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"No\" fieldtype=\"i4\"/><FIELD attrname=\"Time\" fieldtype=\"time\"/>"
    "<FIELD attrname=\"DC/AC\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Auto\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS>";

TEST_F(XmlPacketFileTest, OneRecordedRowIsWrittenInOnePieceWithItsChangeLog)
{
    ReadingTable table;
    table.appendReading(1, kAt140327, "DC", "1.234", "V", "AUTO");
    ASSERT_TRUE(SaveTableFile(table, path("a.xml"), messages));

    EXPECT_EQ(readBytes(path("a.xml")),
              kMetadataHead + "<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA>"
                              "<ROW RowState=\"4\" No=\"1\" Time=\"14:03:27000\" DC/AC=\"DC\" Value=\"1.234\" "
                              "Unit=\"V\" Auto=\"AUTO\"/></ROWDATA></DATAPACKET>");
    EXPECT_EQ(shown(), (std::vector<Message>{{"information",
                                                    "Save table to specified file: " + path("a.xml") + " Scuss!",
                                                    "Information"}}));
}

TEST_F(XmlPacketFileTest, AnEmptyTableHasEmptyParamsAndRowData)
{
    ASSERT_TRUE(SaveTableFile(ReadingTable(), path("e.xml"), messages));
    EXPECT_EQ(readBytes(path("e.xml")), kMetadataHead + "<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
}

TEST_F(XmlPacketFileTest, UnloggedRowsHaveNoRowStateAndNullFieldsNoAttribute)
{
    ReadingTable table;
    TableRow unlogged = reading(3, 61500, "", "x", "", "");
    unlogged.logged = false;
    unlogged.TimeMs.reset();
    table.append(unlogged);
    ASSERT_TRUE(SaveTableFile(table, path("u.xml"), messages));
    EXPECT_EQ(readBytes(path("u.xml")),
              kMetadataHead + "<PARAMS/></METADATA><ROWDATA><ROW No=\"3\" Value=\"x\"/></ROWDATA></DATAPACKET>");
}

TEST_F(XmlPacketFileTest, ChangeLogNamesTheLoggedRowsOnly)
{
    ReadingTable table;
    table.appendReading(1, 0, "DC", "1", "V", "AUTO");
    TableRow unlogged = reading(2, 0, "DC", "2", "V", "AUTO");
    unlogged.logged = false;
    table.append(unlogged);
    table.appendReading(3, 0, "DC", "3", "V", "AUTO");
    ASSERT_TRUE(SaveTableFile(table, path("c.xml"), messages));
    const std::string bytes = readBytes(path("c.xml"));
    EXPECT_NE(bytes.find("<PARAMS CHANGE_LOG=\"1 0 4 3 0 4\"/>"), std::string::npos);
    EXPECT_NE(bytes.find("<ROW No=\"2\" Time=\"00:00:00000\""), std::string::npos);

    ReadingTable loaded;
    ASSERT_TRUE(LoadTableFile(path("c.xml"), loaded, false, messages));
    EXPECT_EQ(rowsOf(loaded), rowsOf(table));
    EXPECT_EQ(loaded.loggedCount(), 2u);
}

struct Escape {
    const char* name;
    std::string text;
    std::string written;
};

class XmlEscapeTest : public TableFileTest, public ::testing::WithParamInterface<Escape> {};

TEST_P(XmlEscapeTest, IsEscapedInTheFileAndComesBackUnchanged)
{
    ReadingTable table;
    table.appendReading(1, 0, "DC", GetParam().text, "V", "AUTO");
    ASSERT_TRUE(SaveTableFile(table, path("x.xml"), messages));
    EXPECT_NE(readBytes(path("x.xml")).find(" Value=\"" + GetParam().written + "\" "), std::string::npos);

    ReadingTable loaded;
    ASSERT_TRUE(LoadTableFile(path("x.xml"), loaded, false, messages));
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded.text(0, Field::Value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, XmlEscapeTest,
    ::testing::Values(Escape{"DoubleQuote", "a\"b", "a&quot;b"}, Escape{"Ampersand", "R&D", "R&amp;D"},
                      Escape{"Less", "<1", "&lt;1"}, Escape{"Greater", ">1", "&gt;1"},
                      Escape{"Apostrophe", "it's", "it&apos;s"}, Escape{"CarriageReturn", "a\rb", "a&#013;b"},
                      Escape{"LineFeed", "a\nb", "a&#010;b"}, Escape{"Tab", "a\tb", "a&#009;b"},
                      Escape{"Backslash", "a\\b", "a&#092;b"},
                      Escape{"EightBitAndSymbolsAsTheyAre", "\xb5*#?&)", "\xb5*#?&amp;)"},
                      Escape{"All", "<>&'\"\r\n\t\\", "&lt;&gt;&amp;&apos;&quot;&#013;&#010;&#009;&#092;"}),
    [](const auto& test) { return std::string(test.param.name); });

struct PacketTime {
    const char* name;
    int32_t ms;
    const char* written;
};

class XmlTimeTest : public TableFileTest, public ::testing::WithParamInterface<PacketTime> {};

TEST_P(XmlTimeTest, IsWrittenAsHoursMinutesAndMillisecondsOfTheMinute)
{
    ReadingTable table;
    table.appendReading(1, GetParam().ms, "DC", "1", "V", "AUTO");
    ASSERT_TRUE(SaveTableFile(table, path("t.xml"), messages));
    EXPECT_NE(readBytes(path("t.xml")).find(std::string(" Time=\"") + GetParam().written + "\""), std::string::npos);
    ReadingTable loaded;
    ASSERT_TRUE(LoadTableFile(path("t.xml"), loaded, false, messages));
    EXPECT_EQ(loaded.timeMs(0), GetParam().ms);
}

INSTANTIATE_TEST_SUITE_P(Times, XmlTimeTest,
                         ::testing::Values(PacketTime{"HalfASecond", kAt140327 + 500, "14:03:27500"},
                                           PacketTime{"Midnight", 0, "00:00:00000"},
                                           PacketTime{"LastMillisecondOfTheDay", 86399999, "23:59:59999"},
                                           PacketTime{"LeadingZeros", 61001, "00:01:01001"}),
                         [](const auto& test) { return std::string(test.param.name); });

struct XmlName {
    const char* name;
    bool xml;
};

class SaveFormatTest : public TableFileTest, public ::testing::WithParamInterface<XmlName> {};

TEST_P(SaveFormatTest, TheExtensionAloneChoosesTheFormat)
{
    ReadingTable table;
    table.appendReading(1, kAt140327, "DC", "1.234", "V", "AUTO");
    std::filesystem::create_directory(folder / "dir.xml");
    ASSERT_TRUE(SaveTableFile(table, path(GetParam().name), messages));
    const std::string bytes = readBytes(path(GetParam().name));
    EXPECT_EQ(bytes.rfind("<?xml", 0) == 0, GetParam().xml) << bytes.substr(0, 20);
    EXPECT_EQ(bytes.rfind("No\tTime\t", 0) == 0, !GetParam().xml);
}

INSTANTIATE_TEST_SUITE_P(Names, SaveFormatTest,
                         ::testing::Values(XmlName{"a.xml", true}, XmlName{"a.XML", true}, XmlName{"a.Xml", true},
                                           XmlName{"a.xls", false}, XmlName{"a.txt", false}, XmlName{"a", false},
                                           XmlName{"a.xml.txt", false}, XmlName{"a.xmlx", false},
                                           XmlName{"dir.xml/a", false}, XmlName{".xml", true}),
                         [](const auto& test) {
                             // The file name with its dots and slashes as underscores, and the format.
                             std::string name = test.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name + (test.param.xml ? "_GivesXml" : "_GivesText");
                         });

TEST_F(XmlPacketFileTest, LoadingReplacesTheRowsAndTheChangeLog)
{
    ReadingTable saved;
    saved.appendReading(1, kAt140327, "DC", "1.234", "V", "AUTO");
    saved.appendReading(2, kAt140327 + 1000, "AC", "0.5", "mA", "MANU");
    ASSERT_TRUE(SaveTableFile(saved, path("r.xml"), messages));

    ReadingTable table;
    for (int32_t i = 0; i < 5; ++i)
        table.appendReading(100 + i, 0, "DC", "9", "V", "AUTO");
    ASSERT_TRUE(LoadTableFile(path("r.xml"), table, false, messages));
    EXPECT_EQ(rowsOf(table), rowsOf(saved));
    EXPECT_EQ(table.loggedCount(), 2u);
    table.appendReading(6, 0, "DC", "1", "V", "AUTO");  // the table records on after a load
    EXPECT_EQ(table.size(), 3u);
}

TEST_F(XmlPacketFileTest, ReadsWhatOtherWritersOfThePacketMayVary)
{
    // Line breaks, single quotes, another field order, start and end tags for empty
    // elements, extra PARAMS and FIELD attributes, character references.
    writeBytes(path("v.xml"),
               "<?xml version='1.0' standalone='yes'?>\r\n<DATAPACKET Version='2.0'>\n <METADATA>\n  <FIELDS>\n"
               "   <FIELD attrname='Auto' fieldtype='string' WIDTH='20' required='false'/>\n"
               "   <FIELD attrname='Unit' fieldtype='string' WIDTH='20'/><FIELD attrname='Value' fieldtype='string' WIDTH='20'/>\n"
               "   <FIELD attrname='DC/AC' fieldtype='string' WIDTH='20'/><FIELD attrname='Time' fieldtype='time'/>\n"
               "   <FIELD attrname='No' fieldtype='i4'></FIELD>\n"
               "  </FIELDS>\n  <PARAMS LCID='1033' CHANGE_LOG='1 0 4'></PARAMS>\n </METADATA>\n <ROWDATA>\n"
               "  <ROW RowState='4' Auto='AUTO' No='7' Time='01:02:03004' dc/ac='&#68;&#x43;' Value='&#049;.5' Unit=\"k*\"></ROW>\n"
               "  <ROW No = '8' />\n"
               " </ROWDATA>\n</DATAPACKET>\n");
    ReadingTable table;
    ASSERT_TRUE(LoadTableFile(path("v.xml"), table, false, messages)) << shown().size();
    TableRow second;
    second.No = 8;
    second.logged = false;
    EXPECT_EQ(rowsOf(table), (std::vector<TableRow>{reading(7, 3723004, "DC", "1.5", "k*", "AUTO"), second}));
}

TEST_F(XmlPacketFileTest, TextsLongerThanTheFieldAreCutWhenLoaded)
{
    writeBytes(path("long.xml"), kMetadataHead + "<PARAMS/></METADATA><ROWDATA><ROW Value=\"1234567890123456789012345\"/>"
                                                 "</ROWDATA></DATAPACKET>");
    ReadingTable table;
    ASSERT_TRUE(LoadTableFile(path("long.xml"), table, false, messages));
    EXPECT_EQ(table.text(0, Field::Value), "12345678901234567890");
}

struct BadPacket {
    const char* name;
    std::string bytes;
};

const std::string kGoodRows =
    "<PARAMS/></METADATA><ROWDATA><ROW No=\"1\" Time=\"00:00:01000\" Value=\"1\"/></ROWDATA></DATAPACKET>";

class XmlLoadFailureTest : public TableFileTest, public ::testing::WithParamInterface<BadPacket> {};

TEST_P(XmlLoadFailureTest, FailsWithTheSystemsMessageAndLeavesTheTable)
{
    writeBytes(path("bad.xml"), GetParam().bytes);
    ReadingTable table;
    table.appendReading(1, kAt140327, "DC", "1.234", "V", "AUTO");
    TableRow unlogged = reading(2, 0, "AC", "2", "A", "MANU");
    unlogged.logged = false;
    table.append(unlogged);
    const std::vector<TableRow> before = rowsOf(table);

    EXPECT_FALSE(LoadTableFile(path("bad.xml"), table, false, messages));
    EXPECT_EQ(shown(), (std::vector<Message>{{"error", "Failed to Load File!", "Error"}}));
    EXPECT_EQ(rowsOf(table), before);
    EXPECT_EQ(table.loggedCount(), 1u);
}

std::string withRow(const std::string& row)
{
    return kMetadataHead + "<PARAMS/></METADATA><ROWDATA>" + row + "</ROWDATA></DATAPACKET>";
}

std::string fieldsReplaced(const std::string& from, const std::string& to)
{
    std::string head = kMetadataHead;
    head.replace(head.find(from), from.size(), to);
    return head + kGoodRows;
}

INSTANTIATE_TEST_SUITE_P(
    Packets, XmlLoadFailureTest,
    ::testing::Values(
        BadPacket{"EmptyFile", ""},
        BadPacket{"NotXml", "No\tTime\r\n1\t00:00:01\r\n"},
        BadPacket{"Truncated", (kMetadataHead + kGoodRows).substr(0, kMetadataHead.size() + 40)},
        BadPacket{"TruncatedInTheLastTag", (kMetadataHead + kGoodRows).substr(0, kMetadataHead.size() + kGoodRows.size() - 3)},
        BadPacket{"ExternalEntity", "<?xml version=\"1.0\"?><!DOCTYPE DATAPACKET [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                                    "<DATAPACKET Version=\"2.0\"/>"},
        BadPacket{"EntityReference", withRow("<ROW No=\"1\" Value=\"&x;\"/>")},
        BadPacket{"Comment", kMetadataHead + "<!-- x -->" + kGoodRows},
        BadPacket{"ProcessingInstruction", kMetadataHead + "<?pi x?>" + kGoodRows},
        BadPacket{"DeclarationNotFirst", " " + kMetadataHead + kGoodRows},
        BadPacket{"FiveFields", fieldsReplaced("<FIELD attrname=\"Auto\" fieldtype=\"string\" WIDTH=\"20\"/>", "")},
        BadPacket{"AFieldTwice", fieldsReplaced("attrname=\"Auto\"", "attrname=\"Unit\"")},
        BadPacket{"AnUnknownField", fieldsReplaced("attrname=\"Auto\"", "attrname=\"Range\"")},
        BadPacket{"TimeAsString", fieldsReplaced("fieldtype=\"time\"", "fieldtype=\"string\"")},
        BadPacket{"NoFields", "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                              "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>"},
        BadPacket{"UnknownRowAttribute", withRow("<ROW No=\"1\" Range=\"AUTO\"/>")},
        BadPacket{"FieldTwiceInARow", withRow("<ROW No=\"1\" no=\"2\"/>")},
        BadPacket{"NoNotAnInteger", withRow("<ROW No=\"x1\"/>")},
        BadPacket{"TimeInAnotherFormat", withRow("<ROW Time=\"14:03:27\"/>")},
        BadPacket{"TimeOutOfRange", withRow("<ROW Time=\"24:00:00000\"/>")},
        BadPacket{"MalformedRowState", withRow("<ROW RowState=\"-4\" No=\"1\"/>")},
        BadPacket{"CharacterReferenceBeyondEightBits", withRow("<ROW Value=\"&#256;\"/>")},
        BadPacket{"NulCharacterReference", withRow("<ROW Value=\"&#0;\"/>")},
        BadPacket{"RawLessThanInAValue", withRow("<ROW Value=\"a<b\"/>")},
        BadPacket{"UnquotedValue", withRow("<ROW No=1/>")},
        BadPacket{"TextContent", withRow("<ROW No=\"1\"/>stray")},
        BadPacket{"ContentInARow", withRow("<ROW No=\"1\"><ROW/></ROW>")},
        BadPacket{"UnknownElement", withRow("<ROWS No=\"1\"/>")},
        BadPacket{"MismatchedEndTag", kMetadataHead + "<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKETS>"},
        BadPacket{"MarkupAfterThePacket", kMetadataHead + kGoodRows + "<DATAPACKET/>"},
        BadPacket{"ChangeLogNotInTriples",
                  kMetadataHead + "<PARAMS CHANGE_LOG=\"1 0\"/></METADATA><ROWDATA></ROWDATA></DATAPACKET>"},
        BadPacket{"AttributeTwice", fieldsReplaced("fieldtype=\"i4\"", "fieldtype=\"i4\" fieldtype=\"i4\"")},
        BadPacket{"RowDataBeforeMetadata", "<DATAPACKET Version=\"2.0\"><ROWDATA></ROWDATA></DATAPACKET>"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(XmlPacketFileTest, AFileThatCannotBeReadFailsAndLeavesTheTable)
{
    ReadingTable table;
    table.appendReading(1, 0, "DC", "1", "V", "AUTO");
    std::filesystem::create_directory(folder / "folder.xml");
    for (const char* name : {"missing.xml", "folder.xml"}) {
        EXPECT_FALSE(LoadTableFile(path(name), table, false, messages)) << name;
        EXPECT_EQ(table.size(), 1u);
    }
    EXPECT_EQ(shown(), (std::vector<Message>(2, {"error", "Failed to Load File!", "Error"})));
}

// Blocks end anywhere: inside names, values, escapes and between CR and LF.
TEST(XmlPacketReaderTest, ReadsTheSamePacketInBlocksOfAnySize)
{
    ReadingTable source;
    for (int32_t i = 0; i < 40; ++i)
        source.appendReading(i, i * 1234, i % 2 ? "AC" : "DC", "v\"&<" + std::to_string(i), "u*", "AUTO");
    std::string packet;
    TableRow unlogged = reading(99, 1, "", "", "", "");
    unlogged.logged = false;
    source.append(unlogged);
    ASSERT_TRUE(writeXmlPacket(source, [&](std::string_view b) {
        packet.append(b);
        return true;
    }));
    for (const std::size_t blockSize : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{64}, packet.size()}) {
        ReadingTable table;
        XmlPacketReader reader(table);
        for (std::size_t at = 0; at < packet.size(); at += blockSize)
            ASSERT_TRUE(reader.feed(std::string_view(packet).substr(at, blockSize))) << reader.failure();
        ASSERT_TRUE(reader.finish()) << reader.failure();
        ASSERT_EQ(table.size(), source.size()) << blockSize;
        for (std::size_t i = 0; i < table.size(); ++i)
            EXPECT_EQ(table.row(i), source.row(i)) << "block " << blockSize << " row " << i;
    }
}

TEST(XmlPacketReaderTest, NamesWhyAPacketFailed)
{
    ReadingTable table;
    XmlPacketReader reader(table);
    EXPECT_FALSE(reader.feed("<?xml version=\"1.0\"?><!DOCTYPE x>"));
    EXPECT_NE(reader.failure().find("DOCTYPE"), std::string::npos) << reader.failure();
    EXPECT_FALSE(reader.finish());
}

} // namespace
} // namespace valdrin::testing
