// What the program saved, it loads back: generated tables (a fixed seed) with rows
// missing No or Time, unlogged rows and texts of every awkward kind, saved in either
// format and loaded again. The packet gives the rows exactly; the text file gives
// them as it writes them, and a table loaded from it survives a further save and
// load in either format unchanged.
#include "TableFileFixture.h"

#include "record/TableFiles.h"

#include <climits>
#include <random>

namespace valdrin::testing {
namespace {

// Bytes a text may hold: ordinary ones, blanks and control characters (tab, line
// ends, NUL), the packet's escapes, 8-bit bytes and the symbol font's characters.
constexpr char kAlphabet[] = "09.-+ADCVUTOMN \t\r\n\x01\x1f\x7f<>&'\"\\;#*?)\xb5\xe9";

class TableGenerator {
public:
    explicit TableGenerator(uint32_t seed) : random_(seed) {}

    ReadingTable table()
    {
        ReadingTable table;
        const int rows = pick(0, 60);
        for (int i = 0; i < rows; ++i)
            table.append(row());
        return table;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    TableRow row()
    {
        TableRow row;
        if (!chance(15)) {
            const int32_t numbers[] = {0, 1, -7, INT32_MIN, INT32_MAX, 12345678, 123456789, -99999999};
            row.No = chance(50) ? numbers[pick(0, 7)] : pick(1, 100000);
        }
        if (!chance(15))
            row.TimeMs = pick(0, 86399999);
        for (std::string* text : {&row.DCAC, &row.Value, &row.Unit, &row.Auto})
            *text = this->text();
        row.logged = !chance(20);
        return row;
    }

    std::string text()
    {
        const char* const usual[] = {"DC", "AC", "AC+DC", "1.234", "-0.005", "V", "k*", "AUTO", "MANU", "NULL", ""};
        if (chance(50))
            return usual[pick(0, 10)];
        std::string text(static_cast<std::size_t>(pick(0, 24)), ' ');
        for (char& c : text)
            c = chance(3) ? '\0' : kAlphabet[pick(0, sizeof kAlphabet - 2)];
        return text;
    }

    std::mt19937 random_;
};

// A row as the text file writes it and a load reads it: whole seconds; texts trimmed
// of blanks and control characters, those inside as blanks, NULL when empty; a
// logged row, as every loaded one is.
TableRow throughTextFile(TableRow row)
{
    if (row.TimeMs)
        row.TimeMs = *row.TimeMs / 1000 * 1000;
    for (std::string* text : {&row.DCAC, &row.Value, &row.Unit, &row.Auto}) {
        std::size_t from = 0, to = text->size();
        while (from < to && static_cast<unsigned char>((*text)[from]) <= ' ')
            ++from;
        while (to > from && static_cast<unsigned char>((*text)[to - 1]) <= ' ')
            --to;
        *text = from == to ? "NULL" : text->substr(from, to - from);
        for (char& c : *text)
            if (static_cast<unsigned char>(c) < 0x20)
                c = ' ';
    }
    row.logged = true;
    return row;
}

class TableFileRoundTripTest : public TableFileTest {
protected:
    // The table saved as name and loaded into an empty table.
    std::vector<TableRow> saveAndLoad(const ReadingTable& table, const std::string& name)
    {
        TableFileOptions options;
        options.syncToDisk = false;
        EXPECT_TRUE(SaveTableFile(table, path(name), messages, options)) << name;
        ReadingTable loaded;
        EXPECT_TRUE(LoadTableFile(path(name), loaded, false, messages, options)) << name;
        return rowsOf(loaded);
    }
};

TEST_F(TableFileRoundTripTest, EveryTableLoadsBackFromEitherFormat)
{
    TableGenerator generate(20261211);
    for (int trial = 0; trial < 60; ++trial) {
        SCOPED_TRACE("table " + std::to_string(trial));
        const ReadingTable table = generate.table();
        const std::vector<TableRow> rows = rowsOf(table);
        EXPECT_EQ(saveAndLoad(table, "t.xml"), rows);

        std::vector<TableRow> expected;
        for (const TableRow& row : rows)
            expected.push_back(throughTextFile(row));
        const std::vector<TableRow> fromText = saveAndLoad(table, "t.txt");
        ASSERT_EQ(fromText, expected);

        // A table loaded from a text file is saved and loaded again as it stands.
        ReadingTable loaded;
        for (const TableRow& row : fromText)
            loaded.append(row);
        EXPECT_EQ(saveAndLoad(loaded, "again.txt"), fromText);
        EXPECT_EQ(saveAndLoad(loaded, "again.xml"), fromText);
    }
    for (const Message& message : shown())
        EXPECT_EQ(message.kind, "information") << message.text;
}

} // namespace
} // namespace valdrin::testing
