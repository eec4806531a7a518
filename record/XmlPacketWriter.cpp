#include "record/XmlPacketWriter.h"

#include "record/FileIo.h"
#include "record/XmlPacketFormat.h"

#include <charconv>

namespace valdrin {

namespace {

void appendNumber(std::string& out, int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void appendDigits(std::string& out, int value, int width)
{
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = static_cast<char>('0' + value % 10);
    out.append(digits, static_cast<std::size_t>(width));
}

void appendTextAttribute(std::string& out, std::string_view name, std::string_view text)
{
    if (text.empty())
        return;  // a null field has no attribute
    out += ' ';
    out += name;
    out += "=\"";
    appendXmlEscaped(out, text);
    out += '"';
}

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"No\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"Time\" fieldtype=\"time\"/>"
    "<FIELD attrname=\"DC/AC\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Auto\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "</FIELDS>";

} // namespace

void appendXmlEscaped(std::string& out, std::string_view text)
{
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view escape;
        switch (text[i]) {
        case '<': escape = "&lt;"; break;
        case '>': escape = "&gt;"; break;
        case '&': escape = "&amp;"; break;
        case '\'': escape = "&apos;"; break;
        case '"': escape = "&quot;"; break;
        case '\r': escape = "&#013;"; break;
        case '\n': escape = "&#010;"; break;
        case '\t': escape = "&#009;"; break;
        case '\\': escape = "&#092;"; break;
        default: continue;  // every other byte is copied as it is
        }
        out.append(text.substr(plain, i - plain));
        out += escape;
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

void appendPacketTime(std::string& out, int32_t ms)
{
    appendDigits(out, ms / 3600000, 2);
    out += ':';
    appendDigits(out, ms / 60000 % 60, 2);
    out += ':';
    appendDigits(out, ms % 60000, 5);
}

bool writeXmlPacket(const ReadingTable& table, const ByteSink& sink)
{
    std::string out;
    out.reserve(kFileBlockSize + 512);
    out += kHead;
    auto flushIfFull = [&] {
        if (out.size() < kFileBlockSize)
            return true;
        const bool ok = sink(out);
        out.clear();
        return ok;
    };

    const bool logged = table.loggedCount() > 0;
    if (logged) {
        out += "<PARAMS CHANGE_LOG=\"";
        bool first = true;
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (!table.logged(i))
                continue;
            if (!first)
                out += ' ';
            first = false;
            appendNumber(out, static_cast<int64_t>(i) + 1);
            out += " 0 ";
            appendNumber(out, kAppendedRowState);
            if (!flushIfFull())
                return false;
        }
        out += "\"/>";
    } else {
        out += "<PARAMS/>";
    }
    out += "</METADATA><ROWDATA>";

    for (std::size_t i = 0; i < table.size(); ++i) {
        out += "<ROW";
        if (table.logged(i)) {
            out += " RowState=\"";
            appendNumber(out, kAppendedRowState);
            out += '"';
        }
        if (const auto no = table.no(i)) {
            out += " No=\"";
            appendNumber(out, *no);
            out += '"';
        }
        if (const auto time = table.timeMs(i)) {
            out += " Time=\"";
            appendPacketTime(out, *time);
            out += '"';
        }
        appendTextAttribute(out, kFieldNames[2], table.text(i, Field::DCAC));
        appendTextAttribute(out, kFieldNames[3], table.text(i, Field::Value));
        appendTextAttribute(out, kFieldNames[4], table.text(i, Field::Unit));
        appendTextAttribute(out, kFieldNames[5], table.text(i, Field::Auto));
        out += "/>";
        if (!flushIfFull())
            return false;
    }
    out += "</ROWDATA></DATAPACKET>";
    return sink(out);
}

} // namespace valdrin
