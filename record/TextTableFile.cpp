#include "record/TextTableFile.h"

#include "base/IntegerValue.h"
#include "record/BlockWriter.h"
#include "record/FileIo.h"
#include "record/ShortText.h"
#include "record/TimeText.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

std::string_view orNull(std::string_view trimmed) { return trimmed.empty() ? std::string_view("NULL") : trimmed; }

// Whether the Word-sized piece at p holds a byte below 0x20 (the bytes that are
// below it borrow into their high bit, which they did not have).
template <class Word>
bool wordHasControl(const char* p)
{
    constexpr Word ones = static_cast<Word>(0x0101010101010101u), highs = static_cast<Word>(0x8080808080808080u);
    Word x;
    std::memcpy(&x, p, sizeof x);
    return ((x - ones * 0x20) & ~x & highs) != 0;
}

// Whether text holds a byte below 0x20, a word at a time: every Value of a save
// passes here, and almost none holds one.
bool hasControl(std::string_view text)
{
    const char* const p = text.data();
    const std::size_t n = text.size();
    if (n >= 8) {
        for (std::size_t at = 0; at + 8 < n; at += 8)
            if (wordHasControl<uint64_t>(p + at))
                return true;
        return wordHasControl<uint64_t>(p + n - 8);
    }
    if (n >= 4)
        return wordHasControl<uint32_t>(p) || wordHasControl<uint32_t>(p + n - 4);
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) < 0x20)
            return true;
    return false;
}

// A field with its control characters written as blanks: the file has no escape, so
// a tab or line end inside a field would split its line into other rows and fields.
std::string_view blankedControls(std::string_view text, std::string& blanked)
{
    if (!hasControl(text))
        return text;
    blanked.assign(text);
    for (char& c : blanked)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return blanked;
}

// A field as the text file holds it: trimmed, blanks for control characters inside,
// NULL when nothing is left.
std::string fieldText(std::string_view text)
{
    std::string blanked;
    return std::string(orNull(blankedControls(trim(text), blanked)));
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
    BlockWriter out(sink);
    std::string header;
    for (const std::string& title : titles) {
        header += title;
        header += '\t';
    }
    if (!header.empty())
        header.pop_back();  // the tab after the last title
    header += "\r\n";
    if (!out.reserve(header.size()))
        return false;
    out.put(header);

    // DC/AC, Unit and Auto repeat from row to row: each distinct text is trimmed once,
    // DC/AC ready to be copied with the tabs around it, Unit and Auto as one piece
    // with the line end for the pair of them last seen.
    std::array<std::vector<std::string>, 3> interned;
    for (std::size_t k = 0; k < interned.size(); ++k) {
        const Field field = ReadingTable::kInternedFields[k];
        interned[k].resize(table.textIdCount(field));
        for (uint32_t id = 0; id < interned[k].size(); ++id)
            interned[k][id] = fieldText(table.textOfId(field, id));
    }
    std::vector<PaddedPiece> modes(interned[0].size());
    for (std::size_t id = 0; id < modes.size(); ++id)
        modes[id].set("\t" + interned[0][id] + "\t");
    PaddedPiece tail;
    uint32_t tailUnit = 0, tailRange = 0;
    bool tailSet = false;

    const TimeOfDayFormat timeFormat(longTimeFormat);
    const PaddedPiece nullTime("\tNULL");
    int32_t lastSecond = -1;
    std::string timeBuffer(1 + timeFormat.maxLength(), '\t');
    PaddedPiece timeText;  // the Time field with the tab that leads it
    const PaddedPiece* time = &nullTime;
    std::string blankedValue;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ReadingTable::RowFields row = table.fields(i);
        if (!row.hasTime) {
            time = &nullTime;
            lastSecond = -1;
        } else if (row.timeMs / 1000 != lastSecond) {  // the text shows whole seconds only
            const std::size_t length = timeFormat.formatTo(timeBuffer.data() + 1, row.timeMs);
            const std::string_view trimmed = trim(std::string_view(timeBuffer.data() + 1, length));
            if (trimmed.empty()) {
                time = &nullTime;
            } else {
                // The tab goes just before the trimmed text: in its own place or over a
                // blank trimmed from the front.
                const auto tab = static_cast<std::size_t>(trimmed.data() - timeBuffer.data()) - 1;
                timeBuffer[tab] = '\t';
                timeText.set(std::string_view(timeBuffer.data() + tab, trimmed.size() + 1));
                time = &timeText;
            }
            lastSecond = row.timeMs / 1000;
        }
        if (!tailSet || row.textIds[1] != tailUnit || row.textIds[2] != tailRange) {
            tailUnit = row.textIds[1];
            tailRange = row.textIds[2];
            tailSet = true;
            tail.set("\t" + interned[1][tailUnit] + "\t" + interned[2][tailRange] + "\r\n");
        }
        const PaddedPiece& mode = modes[row.textIds[0]];
        // No, Time, DC/AC with its tabs, Value (at most 20 characters or NULL), then
        // Unit, Auto and the line end; each padded piece may be copied past its end.
        if (!out.reserve(20 + time->room() + mode.room() + kTextFieldWidth + tail.room()))
            return false;
        if (row.hasNo)
            out.putNumber(row.no);
        out.putPadded(*time);
        out.putPadded(mode);
        out.putShort(orNull(blankedControls(trim(row.value), blankedValue)));
        out.putPadded(tail);
    }
    return out.finish();
}

TextTableReader::TextTableReader(ReadingTable& table, std::string_view longTimeFormat)
    : table_(table), format_(longTimeFormat)
{
}

namespace {

struct Pieces {
    std::array<std::string_view, kFieldCount> at{};
    std::size_t count = 0;
};

enum class LineScan { Ended, Open, TooManyPieces };

// Splits the line that starts at p at its tabs, up to its CR or LF (stop points at
// it). Open: the data ends before the line does. One pass, since a load reads every
// byte of the file once.
LineScan scanLine(const char* p, const char* end, Pieces& pieces, const char*& stop)
{
    const char* start = p;
    pieces.count = 0;
    auto piece = [&](const char* at) {
        pieces.at[pieces.count++] = std::string_view(start, static_cast<std::size_t>(at - start));
        start = at + 1;
    };
#if defined(__SSE2__)
    // Sixteen bytes at a time: a byte-by-byte search waits on each byte it finds.
    const __m128i tab = _mm_set1_epi8('\t'), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        auto tabs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, tab)));
        const auto ends =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf))));
        if (ends != 0)
            tabs &= (ends & (0u - ends)) - 1;  // the tabs before the line end
        for (; tabs != 0; tabs &= tabs - 1) {
            if (pieces.count == kFieldCount - 1)
                return LineScan::TooManyPieces;  // this tab starts a seventh piece
            piece(p + std::countr_zero(tabs));
        }
        if (ends != 0) {
            stop = p + std::countr_zero(ends);
            piece(stop);
            return LineScan::Ended;
        }
    }
#endif
    for (; p < end; ++p) {
        const char c = *p;
        if (static_cast<unsigned char>(c) > '\r')
            continue;
        if (c == '\t') {
            if (pieces.count == kFieldCount - 1)
                return LineScan::TooManyPieces;
            piece(p);
        } else if (c == '\n' || c == '\r') {
            stop = p;
            piece(p);
            return LineScan::Ended;
        }
    }
    piece(end);
    stop = end;
    return LineScan::Open;
}

} // namespace

bool TextTableReader::feed(std::string_view block)
{
    if (failed_)
        return false;
    const char* p = block.data();
    const char* const end = p + block.size();
    // After a line end: CR LF counts as one; a CR at the end of a block may be followed
    // by the LF at the start of the next.
    auto pastLineEnd = [&](const char* lineEnd) {
        p = lineEnd + 1;
        if (*lineEnd == '\r') {
            if (p == end)
                skipLineFeed_ = true;
            else if (*p == '\n')
                ++p;
        }
    };
    if (skipLineFeed_ && p < end) {
        skipLineFeed_ = false;
        if (*p == '\n')
            ++p;
    }
    // The header, and a line begun in the last block: find the line end first.
    while (p < end && (!headerSeen_ || !partial_.empty())) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n' && *lineEnd != '\r')
            ++lineEnd;
        if (partial_.size() + static_cast<std::size_t>(lineEnd - p) > kMaxLineBytes)
            return fail();
        partial_.append(p, static_cast<std::size_t>(lineEnd - p));
        if (lineEnd == end)
            return true;
        const bool ok = takeLine(partial_);
        partial_.clear();
        if (!ok)
            return fail();
        pastLineEnd(lineEnd);
    }
    Pieces pieces;  // made once: clearing it for every line was a large part of a load
    while (p < end) {
        const char* lineEnd = nullptr;
        switch (scanLine(p, end, pieces, lineEnd)) {
        case LineScan::TooManyPieces: return fail();
        case LineScan::Open:
            if (static_cast<std::size_t>(end - p) > kMaxLineBytes)
                return fail();
            partial_.assign(p, static_cast<std::size_t>(end - p));
            return true;
        case LineScan::Ended:
            if (static_cast<std::size_t>(lineEnd - p) > kMaxLineBytes || !appendRow(pieces.at, pieces.count, end))
                return fail();
            pastLineEnd(lineEnd);
            break;
        }
    }
    return true;
}

bool TextTableReader::fail()
{
    failed_ = true;
    return false;
}

bool TextTableReader::finish()
{
    if (failed_)
        return false;
    if (!partial_.empty()) {
        const bool ok = takeLine(partial_);
        partial_.clear();
        if (!ok)
            return fail();
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
    Pieces pieces;
    const char* lineEnd = nullptr;
    if (scanLine(line.data(), line.data() + line.size(), pieces, lineEnd) == LineScan::TooManyPieces)
        return false;
    return appendRow(pieces.at, pieces.count, line.data() + line.size());
}

bool TextTableReader::appendRow(std::array<std::string_view, kFieldCount>& pieces, std::size_t count,
                                const char* readableEnd)
{
    for (std::size_t k = count; k < kFieldCount; ++k)
        pieces[k] = {};  // a field without a piece stays without value
    int32_t no = 0;
    uint32_t digits = 0;
    bool hasNo = true;
    if (shorttext::digitsValue(pieces[0], readableEnd, digits))
        no = static_cast<int32_t>(digits);  // at most eight digits: within int32_t
    else if (pieces[0].empty() && count > 1)
        hasNo = false;  // the save writes a row without a number so; an empty line still fails
    else if (!tryIntegerValue(pieces[0], no))
        return false;
    if (count == 1) {
        TableRow row;
        row.No = no;
        table_.append(row);
        return true;
    }
    bool hasTime = true;
    if (lastTimeMs_ < 0 || !shorttext::same(pieces[1], lastTimeText_)) {
        int32_t time = 0;
        if (format_.parse(pieces[1], time)) {
            lastTimeText_.assign(pieces[1]);
            lastTimeMs_ = time;
        } else if (pieces[1] == "NULL") {
            hasTime = false;  // the save writes a row without a time so
        } else {
            return false;
        }
    }
    // Pieces are stored as they stand: NULL stays the text NULL, nothing is trimmed.
    if (hasNo && hasTime) {
        table_.appendReading(no, lastTimeMs_, pieces[2], pieces[3], pieces[4], pieces[5]);
        return true;
    }
    TableRow row;
    if (hasNo)
        row.No = no;
    if (hasTime)
        row.TimeMs = lastTimeMs_;
    row.DCAC = pieces[2];
    row.Value = pieces[3];
    row.Unit = pieces[4];
    row.Auto = pieces[5];
    table_.append(row);
    return true;
}

} // namespace valdrin
