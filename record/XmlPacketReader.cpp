#include "record/XmlPacketReader.h"

#include "record/ShortText.h"

#include "base/IntegerValue.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace valdrin {

namespace {

constexpr std::size_t kMaxAttributes = 16;
// The one item that grows with the table is PARAMS with its change log (13 bytes a
// row); this bound fails a runaway tag clearly instead of exhausting memory.
constexpr std::size_t kMaxItemBytes = std::size_t{1} << 30;
// An item cut by the end of a block is completed from the next block in pieces of at
// least this size, so that a short cut row costs a short copy.
constexpr std::size_t kMinJoinBytes = 4096;

enum NameClass : uint8_t { Space = 1, NameStart = 2, NameChar = 4, AttributeNameChar = 8 };
constexpr std::array<uint8_t, 256> kNameClass = [] {
    std::array<uint8_t, 256> classes{};
    for (const char c : {' ', '\t', '\r', '\n'})
        classes[static_cast<unsigned char>(c)] = Space;
    for (int c = 0; c < 256; ++c) {
        const bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
        const bool name = start || (c >= '0' && c <= '9') || c == '.' || c == '-';
        // Attribute names of ROW are the field names unchanged, so "DC/AC" carries a slash.
        const bool attribute = name || c == '/';
        classes[c] |= static_cast<uint8_t>((start ? NameStart : 0) | (name ? NameChar : 0) |
                                           (attribute ? AttributeNameChar : 0));
    }
    return classes;
}();

bool is(char c, NameClass kind) { return (kNameClass[static_cast<unsigned char>(c)] & kind) != 0; }
bool isSpace(char c) { return is(c, Space); }
bool isNameStart(char c) { return is(c, NameStart); }
bool isNameChar(char c) { return is(c, NameChar); }
bool isAttributeNameChar(char c) { return is(c, AttributeNameChar); }

// Kept as pointers and sizes, each stored on its own: building string_views in place
// made the scanner stall on reloading them.
struct Attribute {
    const char* nameData = nullptr;
    std::size_t nameSize = 0;
    const char* valueData = nullptr;  // still escaped
    std::size_t valueSize = 0;
    bool plain = true;  // nothing to decode: no escape, no raw tab, CR or LF
    std::string_view name() const { return {nameData, nameSize}; }
    std::string_view value() const { return {valueData, valueSize}; }
};

// Byte classes of attribute values, looked up once per byte.
enum ValueClass : uint8_t { Plain, Decode, Less, DoubleQuote, SingleQuote };
constexpr std::array<uint8_t, 256> kValueClass = [] {
    std::array<uint8_t, 256> classes{};
    classes['&'] = classes['\t'] = classes['\r'] = classes['\n'] = Decode;
    classes['<'] = Less;
    classes['"'] = DoubleQuote;
    classes['\''] = SingleQuote;
    return classes;
}();

enum class Scan { Item, Space, NeedMore, Bad };

// Decodes escapes and character references; raw tab, CR and LF read as blanks.
// out views raw itself when there is nothing to decode, else scratch.
bool unescape(const Attribute& attribute, std::string& scratch, std::string_view& out)
{
    const std::string_view raw = attribute.value();
    if (attribute.plain) {
        out = raw;
        return true;
    }
    std::size_t i = 0;
    while (i < raw.size() && raw[i] != '&' && raw[i] != '\t' && raw[i] != '\r' && raw[i] != '\n')
        ++i;
    if (i == raw.size()) {
        out = raw;
        return true;
    }
    scratch.assign(raw.substr(0, i));
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\t' || c == '\r' || c == '\n') {
            scratch += ' ';
            ++i;
            continue;
        }
        if (c != '&') {
            scratch += c;
            ++i;
            continue;
        }
        const auto semicolon = raw.find(';', i);
        if (semicolon == std::string_view::npos || semicolon - i > 10)
            return false;
        const std::string_view name = raw.substr(i + 1, semicolon - i - 1);
        if (name == "lt") scratch += '<';
        else if (name == "gt") scratch += '>';
        else if (name == "amp") scratch += '&';
        else if (name == "apos") scratch += '\'';
        else if (name == "quot") scratch += '"';
        else if (name.size() >= 2 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            if (digits.empty())
                return false;
            unsigned value = 0;
            for (const char d : digits) {
                unsigned digit;
                if (d >= '0' && d <= '9') digit = static_cast<unsigned>(d - '0');
                else if (hex && d >= 'a' && d <= 'f') digit = static_cast<unsigned>(d - 'a' + 10);
                else if (hex && d >= 'A' && d <= 'F') digit = static_cast<unsigned>(d - 'A' + 10);
                else return false;
                value = value * (hex ? 16 : 10) + digit;
                if (value > 255)
                    return false;  // the texts are 8-bit
            }
            if (value == 0)
                return false;
            scratch += static_cast<char>(value);
        } else {
            return false;  // no other entity exists in a packet
        }
        i = semicolon + 1;
    }
    out = scratch;
    return true;
}

bool unsignedNumber(std::string_view text)
{
    if (text.empty() || text.size() > 10)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// HH:MM:SSSSS, the last five digits the milliseconds within the minute.
bool packetTime(std::string_view text, int32_t& ms)
{
    if (text.size() != 11 || text[2] != ':' || text[5] != ':')
        return false;
    // Each digit on its own: a million rows pass through here.
    unsigned d[11];
    for (std::size_t k = 0; k < 11; ++k)
        d[k] = static_cast<unsigned>(static_cast<unsigned char>(text[k])) - '0';
    if (d[0] > 9 || d[1] > 9 || d[3] > 9 || d[4] > 9 || d[6] > 9 || d[7] > 9 || d[8] > 9 || d[9] > 9 || d[10] > 9)
        return false;
    const unsigned hour = d[0] * 10 + d[1], minute = d[3] * 10 + d[4];
    const unsigned withinMinute = d[6] * 10000 + d[7] * 1000 + d[8] * 100 + d[9] * 10 + d[10];
    if (hour > 23 || minute > 59 || withinMinute > 59999)
        return false;
    ms = static_cast<int32_t>(hour * 3600000 + minute * 60000 + withinMinute);
    return true;
}

// The field an attribute of a ROW names; the writer's own order and spelling are
// tried first (next is the field after the last one found).
std::optional<Field> rowField(std::string_view name, std::size_t next)
{
    if (next < kFieldCount && kFieldNames[next] == name)
        return static_cast<Field>(next);
    return fieldByName(name);
}

} // namespace

struct PacketTag {
    enum Kind { Start, End, Empty, Declaration } kind = Start;
    std::string_view name;
    std::array<Attribute, kMaxAttributes> attributes;
    std::size_t count = 0;
};

namespace {

// Scans one item at the front of s: a run of white space or one tag.
Scan scanItem(std::string_view s, std::size_t& length, PacketTag& tag, std::string& why);

} // namespace

XmlPacketReader::XmlPacketReader(ReadingTable& table) : table_(table) {}

bool XmlPacketReader::fail(std::string reason)
{
    if (failure_.empty())
        failure_ = std::move(reason) + " (at byte " + std::to_string(consumedBefore_ + pos_) + ")";
    return false;
}

bool XmlPacketReader::feed(std::string_view block)
{
    if (!failure_.empty())
        return false;
    std::size_t at = 0;  // first byte of block not yet scanned or kept
    // An item cut by the end of the last block: complete it from the front of this one,
    // in pieces that grow with it, then go on in the block itself.
    while (!buffer_.empty() && at < block.size()) {
        const std::size_t kept = buffer_.size();
        const std::size_t n = std::min(block.size() - at, std::max(kept, kMinJoinBytes));
        buffer_.append(block.data() + at, n);
        at += n;
        if (buffer_.size() < retryAt_)
            continue;
        pos_ = 0;
        if (!scanAvailable(buffer_, false))
            return false;
        consumedBefore_ += pos_;
        if (pos_ >= kept) {
            at -= buffer_.size() - pos_;  // those bytes are still in the block
            buffer_.clear();
        } else {
            buffer_.erase(0, pos_);
        }
    }
    if (!buffer_.empty() || at == block.size())
        return true;
    // Scanned where the file's block lies; only a cut item at its end is kept.
    const std::string_view rest = block.substr(at);
    pos_ = 0;
    if (!scanAvailable(rest, false))
        return false;
    consumedBefore_ += pos_;
    buffer_.assign(rest.substr(pos_));
    return true;
}

bool XmlPacketReader::finish()
{
    if (!failure_.empty())
        return false;
    pos_ = 0;
    if (!scanAvailable(buffer_, true))
        return false;
    if (state_ != State::Done)
        return fail("the packet ends early");
    return true;
}

bool XmlPacketReader::scanAvailable(std::string_view data, bool atEnd)
{
    PacketTag tag;
    std::string why;
    while (pos_ < data.size()) {
        if (state_ == State::InRowData && awaitEnd_.empty()) {
            // Row after row as this system writes them; anything else, and a row cut
            // by the end of the data, goes to the general scanner below.
            const std::size_t taken = takeWrittenRow(data.data() + pos_, data.data() + data.size());
            if (taken > 0) {
                pos_ += taken;
                continue;
            }
        }
        std::size_t length = 0;
        const std::string_view rest = data.substr(pos_);
        switch (scanItem(rest, length, tag, why)) {
        case Scan::Space:
            if (state_ == State::Start)
                state_ = State::Prolog;  // the declaration may only come first
            pos_ += length;
            break;
        case Scan::Item:
            if (!take(tag))
                return false;
            pos_ += length;
            break;
        case Scan::NeedMore:
            if (atEnd)
                return fail("the packet ends inside a tag");
            if (rest.size() > kMaxItemBytes)
                return fail("a tag is too long");
            retryAt_ = 2 * rest.size();  // grows geometrically for a long tag
            return true;
        case Scan::Bad: return fail(why);
        }
    }
    retryAt_ = 0;
    return true;
}

bool XmlPacketReader::take(const PacketTag& tag)
{
    if (!awaitEnd_.empty()) {
        if (tag.kind != PacketTag::End || tag.name != awaitEnd_)
            return fail("<" + awaitEnd_ + "> must be empty");
        awaitEnd_.clear();
        return true;
    }
    const bool opens = tag.kind == PacketTag::Start || tag.kind == PacketTag::Empty;
    if (opens && tag.name != "ROW")  // a ROW finds a field given twice by itself
        for (std::size_t i = 0; i < tag.count; ++i)
            for (std::size_t k = i + 1; k < tag.count; ++k)
                if (tag.attributes[i].name() == tag.attributes[k].name())
                    return fail("an attribute given twice");
    auto is = [&](PacketTag::Kind kind, std::string_view name) { return tag.kind == kind && tag.name == name; };
    auto emptyElement = [&](std::string_view name) {
        if (tag.kind == PacketTag::Start)
            awaitEnd_ = name;
    };
    switch (state_) {
    case State::Start:
    case State::Prolog:
        if (tag.kind == PacketTag::Declaration && state_ == State::Start) {
            state_ = State::Prolog;
            return true;
        }
        if (is(PacketTag::Start, "DATAPACKET")) {
            state_ = State::InPacket;
            return true;
        }
        return fail("expected <DATAPACKET>");
    case State::InPacket:
        if (is(PacketTag::Start, "METADATA")) {
            state_ = State::InMetadata;
            return true;
        }
        return fail("expected <METADATA>");
    case State::InMetadata:
        if (is(PacketTag::Start, "FIELDS")) {
            state_ = State::InFields;
            return true;
        }
        return fail("expected <FIELDS>");
    case State::InFields:
        if (opens && tag.name == "FIELD") {
            emptyElement("FIELD");
            return takeField(tag);
        }
        if (is(PacketTag::End, "FIELDS")) {
            if (fieldsSeen_ != (1u << kFieldCount) - 1)
                return fail("the packet does not hold the six fields");
            state_ = State::AfterFields;
            return true;
        }
        return fail("expected <FIELD> or </FIELDS>");
    case State::AfterFields:
        if (opens && tag.name == "PARAMS") {
            emptyElement("PARAMS");
            state_ = State::AfterParams;
            return takeParams(tag);
        }
        [[fallthrough]];
    case State::AfterParams:
        if (is(PacketTag::End, "METADATA")) {
            state_ = State::AfterMetadata;
            return true;
        }
        return fail("expected </METADATA>");
    case State::AfterMetadata:
        if (is(PacketTag::Start, "ROWDATA")) {
            state_ = State::InRowData;
            return true;
        }
        if (is(PacketTag::Empty, "ROWDATA")) {
            state_ = State::AfterRowData;
            return true;
        }
        return fail("expected <ROWDATA>");
    case State::InRowData:
        if (opens && tag.name == "ROW") {
            emptyElement("ROW");
            return takeRow(tag);
        }
        if (is(PacketTag::End, "ROWDATA")) {
            state_ = State::AfterRowData;
            return true;
        }
        return fail("expected <ROW> or </ROWDATA>");
    case State::AfterRowData:
        if (is(PacketTag::End, "DATAPACKET")) {
            state_ = State::Done;
            return true;
        }
        return fail("expected </DATAPACKET>");
    case State::Done: return fail("markup after the packet");
    }
    return fail("unexpected markup");
}

bool XmlPacketReader::takeField(const PacketTag& tag)
{
    std::string_view attrname, fieldtype;
    bool named = false, typed = false;
    for (std::size_t i = 0; i < tag.count; ++i) {
        const Attribute& a = tag.attributes[i];
        if (a.name() == "attrname") {
            named = unescape(a, scratch_[0], attrname);
        } else if (a.name() == "fieldtype") {
            typed = unescape(a, scratch_[1], fieldtype);
        }  // WIDTH, fieldname, required and the like say nothing the table needs
    }
    if (!named || !typed)
        return fail("a FIELD without attrname or fieldtype");
    const auto field = fieldByName(attrname);
    if (!field)
        return fail("unknown field " + std::string(attrname));
    const std::string_view expected = *field == Field::No ? "i4" : *field == Field::Time ? "time" : "string";
    if (fieldtype != expected)
        return fail("field " + std::string(attrname) + " is not of type " + std::string(expected));
    const auto bit = static_cast<uint8_t>(1u << static_cast<unsigned>(*field));
    if (fieldsSeen_ & bit)
        return fail("field " + std::string(attrname) + " twice");
    fieldsSeen_ |= bit;
    return true;
}

bool XmlPacketReader::takeParams(const PacketTag& tag)
{
    for (std::size_t i = 0; i < tag.count; ++i) {
        if (tag.attributes[i].name() != "CHANGE_LOG")
            continue;  // other parameters are accepted and ignored
        // Unsigned numbers separated by blanks, three per logged row. Which rows are
        // logged is told by their RowState; the numbers themselves are bookkeeping.
        // One pass over the log: it holds three numbers for each row of the table.
        const std::string_view log = tag.attributes[i].value();
        std::size_t numbers = 0, digits = 0;
        for (const char c : log) {
            if (c == ' ') {
                if (digits == 0)
                    return fail("a malformed CHANGE_LOG");
                ++numbers;
                digits = 0;
            } else if (c < '0' || c > '9' || ++digits > 10) {
                return fail("a malformed CHANGE_LOG");
            }
        }
        if (!log.empty()) {
            if (digits == 0)
                return fail("a malformed CHANGE_LOG");  // a blank at the end
            ++numbers;
        }
        if (numbers % 3 != 0)
            return fail("a CHANGE_LOG not in triples");
    }
    return true;
}

bool XmlPacketReader::takeRow(const PacketTag& tag)
{
    bool logged = false, stateSeen = false;
    uint8_t seen = 0;
    std::size_t next = 0;
    int32_t no = 0, time = 0;
    std::string_view texts[4];
    for (std::size_t i = 0; i < tag.count; ++i) {
        const Attribute& a = tag.attributes[i];
        if (a.name() == "RowState") {
            if (stateSeen || !unsignedNumber(a.value()))
                return fail("a malformed RowState");
            stateSeen = logged = true;
            continue;
        }
        const auto field = rowField(a.name(), next);
        if (!field)
            return fail("a ROW attribute that is no field: " + std::string(a.name()));
        const auto index = static_cast<unsigned>(*field);
        next = index + 1;
        const auto bit = static_cast<uint8_t>(1u << index);
        if (seen & bit)
            return fail("a ROW with a field twice");
        seen |= bit;
        std::string_view value;
        if (!unescape(a, scratch_[index < 2 ? 4 : index - 2], value))
            return fail("a malformed escape");
        if (*field == Field::No) {
            if (!tryIntegerValue(value, no))
                return fail("a No that is no integer");
        } else if (*field == Field::Time) {
            if (!packetTime(value, time))
                return fail("a Time not in HH:MM:SSSSS");
        } else {
            texts[index - 2] = value;
        }
    }
    appendRow(logged, seen, no, time, texts);
    return true;
}

void XmlPacketReader::appendRow(bool logged, uint8_t seen, int32_t no, int32_t time, const std::string_view* texts)
{
    constexpr uint8_t noBit = 1, timeBit = 2;
    if (logged && (seen & noBit) && (seen & timeBit)) {
        table_.appendReading(no, time, texts[0], texts[1], texts[2], texts[3]);
        return;
    }
    TableRow row;
    if (seen & noBit)
        row.No = no;
    if (seen & timeBit)
        row.TimeMs = time;
    row.DCAC = texts[0];
    row.Value = texts[1];
    row.Unit = texts[2];
    row.Auto = texts[3];
    row.logged = logged;
    table_.append(row);
}

std::size_t XmlPacketReader::takeWrittenRow(const char* p, const char* const end)
{
    const char* const start = p;
    constexpr std::string_view open = "<ROW";
    if (static_cast<std::size_t>(end - p) < open.size() || std::memcmp(p, open.data(), open.size()) != 0)
        return 0;
    p += open.size();
    // A value up to its closing quote; nullptr when it needs decoding, holds a < or
    // runs past the data.
    auto valueEnd = [end](const char* v) -> const char* {
        if constexpr (std::endian::native == std::endian::little) {
            // Eight bytes at a time: the lowest flagged byte is the first quote, &, <
            // or control character (the flags above it may be false).
            constexpr uint64_t ones = 0x0101010101010101u, highs = 0x8080808080808080u;
            auto zeroByte = [](uint64_t x) { return (x - ones) & ~x & highs; };
            while (end - v >= 8) {
                uint64_t x;
                std::memcpy(&x, v, 8);
                const uint64_t flags = zeroByte(x ^ (ones * '"')) | zeroByte(x ^ (ones * '&')) |
                                       zeroByte(x ^ (ones * '<')) | ((x - ones * 0x0E) & ~x & highs);
                if (flags != 0) {
                    const char* const first = v + std::countr_zero(flags) / 8;
                    return *first == '"' ? first : nullptr;
                }
                v += 8;
            }
        }
        for (; v < end; ++v) {
            const uint8_t c = kValueClass[static_cast<unsigned char>(*v)];
            if (c == DoubleQuote)
                return v;
            if (c == Decode || c == Less)
                return nullptr;
        }
        return nullptr;
    };
    bool logged = false;
    constexpr std::string_view rowState = " RowState=\"";
    if (static_cast<std::size_t>(end - p) >= rowState.size() &&
        std::memcmp(p, rowState.data(), rowState.size()) == 0) {
        const char* const v = p + rowState.size();
        const char* const close = valueEnd(v);
        if (!close || !unsignedNumber(std::string_view(v, static_cast<std::size_t>(close - v))))
            return 0;
        logged = true;
        p = close + 1;
    }
    uint8_t seen = 0;
    int32_t no = 0, time = 0;
    std::string_view texts[4];
    // ` <field name>="value"` of field index if it stands at p: false when it does but
    // its value is not in the written form. The names are constants here, so that
    // each comparison is a fixed-size one.
    bool bad = false;
    auto attribute = [&](std::string_view lead, std::size_t index) {
        if (bad || static_cast<std::size_t>(end - p) < lead.size() || std::memcmp(p, lead.data(), lead.size()) != 0)
            return;
        const char* const v = p + lead.size();
        const char* const close = valueEnd(v);
        if (!close) {
            bad = true;
            return;
        }
        const std::string_view value(v, static_cast<std::size_t>(close - v));
        uint32_t digits = 0;
        if (index == 0 && shorttext::digitsValue(value, end, digits))
            no = static_cast<int32_t>(digits);  // at most eight digits: within int32_t
        else if (index == 0)
            bad = !tryIntegerValue(value, no);
        else if (index == 1)
            bad = !packetTime(value, time);
        else
            texts[index - 2] = value;
        seen = static_cast<uint8_t>(seen | (1u << index));
        p = close + 1;
    };
    attribute(" No=\"", 0);
    attribute(" Time=\"", 1);
    // DC/AC, and Unit and Auto with the end of the row, mostly repeat the row before
    // byte for byte: compared as whole spans first, scanned only when they differ. A
    // span is kept only as it was found valid, so equal bytes are valid as well.
    auto repeats = [&](const std::string& span) {
        return !bad && !span.empty() && static_cast<std::size_t>(end - p) >= span.size() &&
               std::memcmp(p, span.data(), span.size()) == 0;
    };
    constexpr std::string_view modeLead = " DC/AC=\"";
    if (repeats(lastMode_)) {
        texts[0] = std::string_view(p + modeLead.size(), lastMode_.size() - modeLead.size() - 1);
        seen = static_cast<uint8_t>(seen | (1u << 2));
        p += lastMode_.size();
    } else {
        const char* const modeStart = p;
        attribute(modeLead, 2);
        if (!bad)
            lastMode_.assign(modeStart, static_cast<std::size_t>(p - modeStart));
    }
    attribute(" Value=\"", 3);
    if (repeats(lastTail_)) {
        texts[2] = std::string_view(p + lastTail_.unitAt, lastTail_.unitSize);
        texts[3] = std::string_view(p + lastTail_.autoAt, lastTail_.autoSize);
        seen = static_cast<uint8_t>(seen | lastTail_.seen);
        p += lastTail_.size() - 2;  // up to the row's end, checked below
    } else {
        const char* const tailStart = p;
        const uint8_t before = seen;
        attribute(" Unit=\"", 4);
        attribute(" Auto=\"", 5);
        if (!bad && end - p >= 2 && p[0] == '/' && p[1] == '>') {
            lastTail_.assign(tailStart, static_cast<std::size_t>(p + 2 - tailStart));
            lastTail_.seen = static_cast<uint8_t>(seen & ~before);
            lastTail_.unitAt = texts[2].empty() ? 0 : static_cast<std::size_t>(texts[2].data() - tailStart);
            lastTail_.unitSize = texts[2].size();
            lastTail_.autoAt = texts[3].empty() ? 0 : static_cast<std::size_t>(texts[3].data() - tailStart);
            lastTail_.autoSize = texts[3].size();
        }
    }
    if (bad)
        return 0;
    if (end - p < 2 || p[0] != '/' || p[1] != '>')
        return 0;
    appendRow(logged, seen, no, time, texts);
    return static_cast<std::size_t>(p + 2 - start);
}

namespace {

Scan scanItem(std::string_view s, std::size_t& length, PacketTag& tag, std::string& why)
{
    if (s.empty())
        return Scan::NeedMore;
    if (isSpace(s[0])) {
        std::size_t n = 1;
        while (n < s.size() && isSpace(s[n]))
            ++n;
        length = n;
        return Scan::Space;
    }
    if (s[0] != '<') {
        why = "text outside a tag";
        return Scan::Bad;
    }
    if (s.size() < 2)
        return Scan::NeedMore;
    tag.count = 0;
    if (s[1] == '?') {
        const auto end = s.find("?>", 2);
        if (end == std::string_view::npos)
            return Scan::NeedMore;
        if (s.size() < 6 || s.substr(2, 3) != "xml" || !isSpace(s[5])) {
            why = "a processing instruction";
            return Scan::Bad;
        }
        tag.kind = PacketTag::Declaration;
        length = end + 2;
        return Scan::Item;
    }
    if (s[1] == '!') {
        why = "a DOCTYPE, comment or CDATA section";
        return Scan::Bad;
    }
    const bool closing = s[1] == '/';
    std::size_t i = closing ? 2 : 1;
    const std::size_t nameStart = i;
    if (i >= s.size())
        return Scan::NeedMore;
    if (!isNameStart(s[i])) {
        why = "a malformed tag";
        return Scan::Bad;
    }
    while (i < s.size() && isNameChar(s[i]))
        ++i;
    if (i >= s.size())
        return Scan::NeedMore;
    tag.name = s.substr(nameStart, i - nameStart);
    for (;;) {
        const std::size_t beforeSpace = i;
        while (i < s.size() && isSpace(s[i]))
            ++i;
        if (i >= s.size())
            return Scan::NeedMore;
        if (s[i] == '>') {
            tag.kind = closing ? PacketTag::End : PacketTag::Start;
            length = i + 1;
            return Scan::Item;
        }
        if (s[i] == '/' && !closing) {
            if (i + 1 >= s.size())
                return Scan::NeedMore;
            if (s[i + 1] != '>') {
                why = "a malformed tag";
                return Scan::Bad;
            }
            tag.kind = PacketTag::Empty;
            length = i + 2;
            return Scan::Item;
        }
        if (closing || i == beforeSpace || !isNameStart(s[i])) {
            why = "a malformed tag";
            return Scan::Bad;
        }
        const std::size_t attributeStart = i;
        while (i < s.size() && isAttributeNameChar(s[i]))
            ++i;
        const std::size_t nameEnd = i;
        while (i < s.size() && isSpace(s[i]))
            ++i;
        if (i >= s.size())
            return Scan::NeedMore;
        if (s[i] != '=') {
            why = "an attribute without a value";
            return Scan::Bad;
        }
        ++i;
        while (i < s.size() && isSpace(s[i]))
            ++i;
        if (i >= s.size())
            return Scan::NeedMore;
        const char quote = s[i];
        if (quote != '"' && quote != '\'') {
            why = "an attribute value without quotes";
            return Scan::Bad;
        }
        // Found with memchr: the one value that grows with the table is the change log.
        const char* const valueStart = s.data() + i + 1;
        const auto valueRoom = s.size() - i - 1;
        const auto* valueEnd = static_cast<const char*>(std::memchr(valueStart, quote, valueRoom));
        const std::size_t valueSize = valueEnd ? static_cast<std::size_t>(valueEnd - valueStart) : valueRoom;
        auto holds = [&](char c) { return std::memchr(valueStart, c, valueSize) != nullptr; };
        if (holds('<')) {
            why = "a < inside an attribute value";
            return Scan::Bad;
        }
        if (!valueEnd)
            return Scan::NeedMore;
        const std::size_t close = i + 1 + valueSize;
        const bool plain = !holds('&') && !holds('\t') && !holds('\r') && !holds('\n');
        if (tag.count == kMaxAttributes) {
            why = "too many attributes";
            return Scan::Bad;
        }
        Attribute& attribute = tag.attributes[tag.count++];
        attribute.nameData = s.data() + attributeStart;
        attribute.nameSize = nameEnd - attributeStart;
        attribute.valueData = s.data() + i + 1;
        attribute.valueSize = close - i - 1;
        attribute.plain = plain;
        i = close + 1;
    }
}

} // namespace

} // namespace valdrin
