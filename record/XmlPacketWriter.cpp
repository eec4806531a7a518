#include "record/XmlPacketWriter.h"

#include "record/BlockWriter.h"
#include "record/XmlPacketFormat.h"

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

void putEscaped(BlockWriter& out, std::string_view text)
{
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view escape = escapeOf(text[i]);
        if (escape.empty())
            continue;
        out.put(text.substr(plain, i - plain));
        out.put(escape);
        plain = i + 1;
    }
    out.put(text.substr(plain));
}

void putTextAttribute(BlockWriter& out, std::string_view name, std::string_view text)
{
    if (text.empty())
        return;  // a null field has no attribute
    out.put(' ');
    out.put(name);
    out.put("=\"");
    putEscaped(out, text);
    out.put('"');
}

// HH:MM:SSSSS, the last five digits the milliseconds within the minute.
void putPacketTime(BlockWriter& out, int32_t ms)
{
    out.putDigits(ms / 3600000, 2);
    out.put(':');
    out.putDigits(ms / 60000 % 60, 2);
    out.put(':');
    out.putDigits(ms % 60000, 5);
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

    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!out.reserve(kRowRoom))
            return false;
        out.put("<ROW");
        if (table.logged(i)) {
            out.put(" RowState=\"");
            out.putNumber(kAppendedRowState);
            out.put('"');
        }
        if (const auto no = table.no(i)) {
            out.put(" No=\"");
            out.putNumber(*no);
            out.put('"');
        }
        if (const auto time = table.timeMs(i)) {
            out.put(" Time=\"");
            putPacketTime(out, *time);
            out.put('"');
        }
        putTextAttribute(out, kFieldNames[2], table.text(i, Field::DCAC));
        putTextAttribute(out, kFieldNames[3], table.text(i, Field::Value));
        putTextAttribute(out, kFieldNames[4], table.text(i, Field::Unit));
        putTextAttribute(out, kFieldNames[5], table.text(i, Field::Auto));
        out.put("/>");
    }
    if (!out.reserve(32))
        return false;
    out.put("</ROWDATA></DATAPACKET>");
    return out.finish();
}

} // namespace valdrin
