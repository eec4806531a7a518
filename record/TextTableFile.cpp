#include "record/TextTableFile.h"

#include "meter/IntegerValue.h"
#include "record/FileIo.h"
#include "record/TimeText.h"

#include <array>
#include <charconv>
#include <cstring>

namespace valdrin {

namespace {

// Calls piece(text) for each piece between separators, left to right; stops early
// and returns false when piece returns false.
template <class Piece>
bool forEachPiece(std::string_view text, char separator, Piece&& piece)
{
    for (;;) {
        const auto at = text.find(separator);
        if (at == std::string_view::npos)
            return piece(text);
        if (!piece(text.substr(0, at)))
            return false;
        text.remove_prefix(at + 1);
    }
}

// Blanks and control characters, as the text trim removes them.
bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

void appendField(std::string& out, std::string_view text)
{
    out += '\t';
    const std::string_view trimmed = trim(text);
    if (trimmed.empty())
        out += "NULL";
    else
        out += trimmed;
}

} // namespace

void SplitLine(std::string_view text, char separator, std::vector<std::string>& list)
{
    list.clear();
    forEachPiece(text, separator, [&](std::string_view piece) {
        list.emplace_back(piece);
        return true;
    });
}

bool writeTextTable(const ReadingTable& table, const std::vector<std::string>& titles,
                    std::string_view longTimeFormat, const ByteSink& sink)
{
    std::string out;
    out.reserve(kFileBlockSize + 256);
    for (const std::string& title : titles) {
        out += title;
        out += '\t';
    }
    if (!out.empty())
        out.pop_back();  // the tab after the last title
    out += "\r\n";

    int32_t lastSecond = -1;
    std::string timeText;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (const auto no = table.no(i)) {
            char digits[16];
            const auto end = std::to_chars(digits, digits + sizeof digits, *no).ptr;
            out.append(digits, end);
        }
        const auto time = table.timeMs(i);
        if (!time) {
            timeText.clear();
            lastSecond = -1;
        } else if (*time / 1000 != lastSecond) {  // the text shows whole seconds only
            timeText = formatTimeOfDay(*time, longTimeFormat);
            lastSecond = *time / 1000;
        }
        appendField(out, timeText);
        appendField(out, table.text(i, Field::DCAC));
        appendField(out, table.text(i, Field::Value));
        appendField(out, table.text(i, Field::Unit));
        appendField(out, table.text(i, Field::Auto));
        out += "\r\n";
        if (out.size() >= kFileBlockSize) {
            if (!sink(out))
                return false;
            out.clear();
        }
    }
    return sink(out);
}

TextTableReader::TextTableReader(ReadingTable& table, std::string_view longTimeFormat)
    : table_(table), format_(longTimeFormat)
{
}

bool TextTableReader::feed(std::string_view block)
{
    if (failed_)
        return false;
    if (skipLineFeed_ && !block.empty()) {
        skipLineFeed_ = false;
        if (block.front() == '\n')
            block.remove_prefix(1);
    }
    while (!block.empty()) {
        const char* end = static_cast<const char*>(std::memchr(block.data(), '\n', block.size()));
        const char* cr = static_cast<const char*>(std::memchr(block.data(), '\r', end ? end - block.data() : block.size()));
        if (cr)
            end = cr;
        if (!end) {
            partial_.append(block);
            return true;
        }
        const std::size_t length = static_cast<std::size_t>(end - block.data());
        bool ok;
        if (partial_.empty()) {
            ok = takeLine(block.substr(0, length));
        } else {
            partial_.append(block.substr(0, length));
            ok = takeLine(partial_);
            partial_.clear();
        }
        if (!ok) {
            failed_ = true;
            return false;
        }
        std::size_t next = length + 1;
        if (*end == '\r') {
            if (next == block.size())
                skipLineFeed_ = true;
            else if (block[next] == '\n')
                ++next;
        }
        block.remove_prefix(next);
    }
    return true;
}

bool TextTableReader::finish()
{
    if (failed_)
        return false;
    if (!partial_.empty()) {
        const bool ok = takeLine(partial_);
        partial_.clear();
        if (!ok) {
            failed_ = true;
            return false;
        }
    }
    // A file without a line has no first line to delete: that fails the load.
    return headerSeen_;
}

bool TextTableReader::takeLine(std::string_view line)
{
    if (!headerSeen_) {
        headerSeen_ = true;  // the first line is dropped, whatever it holds
        return true;
    }
    return appendRow(line);
}

bool TextTableReader::appendRow(std::string_view line)
{
    std::array<std::string_view, kFieldCount> pieces{};
    std::size_t count = 0;
    const bool fits = forEachPiece(line, '\t', [&](std::string_view piece) {
        if (count == kFieldCount)
            return false;
        pieces[count++] = piece;
        return true;
    });
    if (!fits)
        return false;  // more than six pieces

    int32_t no = 0;
    if (!tryIntegerValue(pieces[0], no))
        return false;
    if (count == 1) {
        TableRow row;
        row.No = no;
        table_.append(row);
        return true;
    }
    if (pieces[1] != lastTimeText_ || lastTimeMs_ < 0) {
        const auto time = parseTimeOfDay(pieces[1], format_);
        if (!time)
            return false;
        lastTimeText_.assign(pieces[1]);
        lastTimeMs_ = *time;
    }
    // Pieces are stored as they stand: NULL stays the text NULL, nothing is trimmed.
    table_.appendReading(no, lastTimeMs_, pieces[2], pieces[3], pieces[4], pieces[5]);
    return true;
}

} // namespace valdrin
