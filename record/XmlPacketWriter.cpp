#include "record/XmlPacketWriter.h"

#include "record/BlockWriter.h"
#include "record/XmlPacketFormat.h"

#include <array>
#include <string>
#include <vector>

namespace valdrin {

namespace {

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"No\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"Time\" fieldtype=\"time\"/>"
    "<FIELD attrname=\"DC/AC\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Auto\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "</FIELDS>";

// The longest escape, "&#013;", and the room a row may need with every text escaped.
constexpr std::size_t kLongestEscape = 6;
constexpr std::size_t kRowRoom = 64 + 4 * (16 + kTextFieldWidth * kLongestEscape);

// Escapes inside attribute values; every other byte is copied as it is.
std::string_view escapeOf(char c)
{
    switch (c) {
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '&': return "&amp;";
    case '\'': return "&apos;";
    case '"': return "&quot;";
    case '\r': return "&#013;";
    case '\n': return "&#010;";
    case '\t': return "&#009;";
    case '\\': return "&#092;";
    default: return {};
    }
}

// Bytes that have an escape, looked up once per byte of a value.
constexpr std::array<bool, 256> kEscaped = [] {
    std::array<bool, 256> escaped{};
    for (const char c : {'<', '>', '&', '\'', '"', '\r', '\n', '\t', '\\'})
        escaped[static_cast<unsigned char>(c)] = true;
    return escaped;
}();

void appendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        const std::string_view escape = escapeOf(c);
        if (escape.empty())
            out += c;
        else
            out += escape;
    }
}

void putEscaped(BlockWriter& out, std::string_view text)
{
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!kEscaped[static_cast<unsigned char>(text[i])])
            continue;
        out.putShort(text.substr(plain, i - plain));
        out.putShort(escapeOf(text[i]));
        plain = i + 1;
    }
    out.putShort(text.substr(plain));
}

// ` name="text"` with the text escaped, or nothing for a null field.
std::string textAttribute(std::string_view name, std::string_view text)
{
    std::string attribute;
    if (text.empty())
        return attribute;
    attribute += ' ';
    attribute += name;
    attribute += "=\"";
    appendEscaped(attribute, text);
    attribute += '"';
    return attribute;
}

// HH:MM:SSSSS, the last five digits the milliseconds within the minute.
void putPacketTime(BlockWriter& out, int32_t ms)
{
    if (ms < 0 || ms >= 24 * 3600000) {  // no time of day; written digit by digit as ever
        out.putDigits(ms / 3600000, 2);
        out.put(':');
        out.putDigits(ms / 60000 % 60, 2);
        out.put(':');
        out.putDigits(ms % 60000, 5);
        return;
    }
    const auto value = static_cast<unsigned>(ms);
    const unsigned withinMinute = value % 60000;
    out.putTwoDigits(value / 3600000);
    out.put(':');
    out.putTwoDigits(value / 60000 % 60);
    out.put(':');
    out.putTwoDigits(withinMinute / 1000);
    out.putTwoDigits(withinMinute % 1000 / 10);
    out.put(static_cast<char>('0' + withinMinute % 10));
}

} // namespace

bool writeXmlPacket(const ReadingTable& table, const ByteSink& sink)
{
    BlockWriter out(sink);
    if (!out.reserve(kHead.size() + 64))
        return false;
    out.put(kHead);

    if (table.loggedCount() > 0) {
        out.put("<PARAMS CHANGE_LOG=\"");
        bool first = true;
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (!table.logged(i))
                continue;
            if (!out.reserve(48))
                return false;
            if (!first)
                out.put(' ');
            first = false;
            out.putNumber(i + 1);
            out.put(" 0 ");
            out.putNumber(kAppendedRowState);
        }
        if (!out.reserve(64))
            return false;
        out.put("\"/>");
    } else {
        out.put("<PARAMS/>");
    }
    out.put("</METADATA><ROWDATA>");

    // DC/AC, Unit and Auto repeat from row to row: each distinct text is escaped
    // once, as the whole attribute.
    std::array<std::vector<std::string>, 3> interned;
    for (std::size_t k = 0; k < interned.size(); ++k) {
        const Field field = ReadingTable::kInternedFields[k];
        interned[k].resize(table.textIdCount(field));
        for (uint32_t id = 0; id < interned[k].size(); ++id)
            interned[k][id] = textAttribute(kFieldNames[static_cast<std::size_t>(field)], table.textOfId(field, id));
    }
    const std::string loggedRowStart = "<ROW RowState=\"" + std::to_string(kAppendedRowState) + "\"";

    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!out.reserve(kRowRoom))
            return false;
        const ReadingTable::RowFields row = table.fields(i);
        out.putShort(row.logged ? std::string_view(loggedRowStart) : std::string_view("<ROW"));
        if (row.hasNo) {
            out.put(" No=\"");
            out.putNumber(row.no);
            out.put('"');
        }
        if (row.hasTime) {
            out.put(" Time=\"");
            putPacketTime(out, row.timeMs);
            out.put('"');
        }
        out.putShort(interned[0][row.textIds[0]]);
        if (!row.value.empty()) {
            out.put(" Value=\"");
            putEscaped(out, row.value);
            out.put('"');
        }
        out.putShort(interned[1][row.textIds[1]]);
        out.putShort(interned[2][row.textIds[2]]);
        out.put("/>");
    }
    if (!out.reserve(32))
        return false;
    out.put("</ROWDATA></DATAPACKET>");
    return out.finish();
}

} // namespace valdrin
