// Checks of the table files under a fuzz input. A load from the file and a load of the
// same bytes in small blocks must agree; a table that loaded is saved in both formats,
// and each save read back must give its rows: exactly from the XML packet, and from
// the text file as the text save writes them (seconds only, texts trimmed, an empty
// text as NULL). A difference is a finding: it is printed and the process aborts.
#pragma once

#include "Finding.h"
#include "FuzzBlocks.h"
#include "record/ReadingTable.h"
#include "record/TextTableFile.h"
#include "record/XmlPacketReader.h"
#include "record/XmlPacketWriter.h"

#include <string>
#include <string_view>
#include <vector>

namespace valdrin::fuzz {

inline constexpr std::string_view kLongTimeFormat = "%H:%M:%S";

inline std::string shown(const TableRow& row)
{
    auto number = [](const std::optional<int32_t>& n) { return n ? std::to_string(*n) : std::string("null"); };
    return "No " + number(row.No) + ", TimeMs " + number(row.TimeMs) + ", DC/AC " + shown(row.DCAC) + ", Value " +
           shown(row.Value) + ", Unit " + shown(row.Unit) + ", Auto " + shown(row.Auto) +
           (row.logged ? ", logged" : ", not logged");
}

inline std::vector<TableRow> rowsOf(const ReadingTable& table)
{
    std::vector<TableRow> rows;
    for (std::size_t i = 0; i < table.size(); ++i)
        rows.push_back(table.row(i));
    return rows;
}

// same(expected row, got row) decides; the first difference is a finding.
template <class Same>
void expectRows(const std::vector<TableRow>& expected, const ReadingTable& got, const char* what, Same same)
{
    if (got.size() != expected.size())
        finding(std::string(what) + ": " + std::to_string(got.size()) + " rows instead of " +
                std::to_string(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const TableRow row = got.row(i);
        if (!same(expected[i], row))
            finding(std::string(what) + ": row " + std::to_string(i) + " is {" + shown(row) + "} instead of {" +
                    shown(expected[i]) + "}");
    }
}

inline bool exactly(const TableRow& a, const TableRow& b) { return a == b; }

// Reads bytes with a reader (TextTableReader or XmlPacketReader) as a file read would
// give them, in blocks of 1 to maxBlock bytes.
template <class Reader>
bool readInBlocks(Reader& reader, std::string_view bytes, uint32_t seed, std::size_t maxBlock)
{
    BlockSizes sizes(seed);
    bool fed = true;
    forEachBlock(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), sizes, maxBlock,
                 [&](const std::vector<uint8_t>& block) {
                     fed = reader.feed(std::string_view(reinterpret_cast<const char*>(block.data()), block.size()));
                     return fed;
                 });
    return fed && reader.finish();
}

inline bool readText(std::string_view bytes, ReadingTable& table, uint32_t seed, std::size_t maxBlock)
{
    TextTableReader reader(table, kLongTimeFormat);
    return readInBlocks(reader, bytes, seed, maxBlock);
}

inline bool readXml(std::string_view bytes, ReadingTable& table, uint32_t seed, std::size_t maxBlock)
{
    XmlPacketReader reader(table);
    return readInBlocks(reader, bytes, seed, maxBlock);
}

// A row as a text save and a text load give it back. Control characters inside a
// text are compared as blanks (see sameThroughText): a text file cannot hold a tab or
// a line end inside a field, so blanks for them are a sound way of writing them.
inline TableRow throughTextFile(TableRow row)
{
    auto trimmedOrNull = [](const std::string& text) {
        std::size_t from = 0, to = text.size();
        while (from < to && static_cast<unsigned char>(text[from]) <= ' ')
            ++from;
        while (to > from && static_cast<unsigned char>(text[to - 1]) <= ' ')
            --to;
        return from == to ? std::string("NULL") : text.substr(from, to - from);
    };
    if (row.TimeMs)
        row.TimeMs = *row.TimeMs - *row.TimeMs % 1000;
    row.DCAC = trimmedOrNull(row.DCAC);
    row.Value = trimmedOrNull(row.Value);
    row.Unit = trimmedOrNull(row.Unit);
    row.Auto = trimmedOrNull(row.Auto);
    row.logged = true;  // a text load appends its rows
    return row;
}

inline bool sameThroughText(const TableRow& expected, const TableRow& got)
{
    auto blanked = [](std::string text) {
        for (char& c : text)
            if (static_cast<unsigned char>(c) < ' ')
                c = ' ';
        return text;
    };
    return expected.No == got.No && expected.TimeMs == got.TimeMs && expected.logged == got.logged &&
           blanked(expected.DCAC) == blanked(got.DCAC) && blanked(expected.Value) == blanked(got.Value) &&
           blanked(expected.Unit) == blanked(got.Unit) && blanked(expected.Auto) == blanked(got.Auto);
}

// The row whose line failed a text load (the rows before it loaded) and the lines
// written from it on.
inline std::string failingLine(std::string_view text, const std::vector<TableRow>& rows, std::size_t loaded)
{
    std::size_t at = 0;
    for (std::size_t line = 0; line <= loaded && at != std::string_view::npos; ++line) {
        at = text.find("\r\n", at);
        if (at != std::string_view::npos)
            at += 2;
    }
    const std::string row = loaded < rows.size() ? "{" + shown(rows[loaded]) + "}" : std::string("none");
    const std::string_view rest = at == std::string_view::npos ? std::string_view() : text.substr(at, 80);
    return "row " + std::to_string(loaded) + " " + row + " written as " + shown(rest);
}

// Saves table in both formats and reads each save back.
inline void roundTrip(const ReadingTable& table)
{
    const std::vector<TableRow> rows = rowsOf(table);

    std::string packet;
    if (!writeXmlPacket(table, [&](std::string_view bytes) { packet += bytes; return true; }))
        finding("the XML save failed");
    ReadingTable fromPacket;
    if (!readXml(packet, fromPacket, static_cast<uint32_t>(packet.size()), 4096))
        finding("the saved XML packet does not load: " + shown(packet));
    expectRows(rows, fromPacket, "XML save and load", exactly);

    std::string text;
    const std::vector<std::string> titles(kFieldNames.begin(), kFieldNames.end());
    if (!writeTextTable(table, titles, kLongTimeFormat, [&](std::string_view bytes) { text += bytes; return true; }))
        finding("the text save failed");
    ReadingTable fromText;
    if (!readText(text, fromText, static_cast<uint32_t>(text.size()), 4096))
        finding("the saved text file does not load: " + failingLine(text, rows, fromText.size()));
    std::vector<TableRow> expected;
    for (const TableRow& row : rows)
        expected.push_back(throughTextFile(row));
    expectRows(expected, fromText, "text save and load", sameThroughText);
}

} // namespace valdrin::fuzz
