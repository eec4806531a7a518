// The tab-separated text file of the reading table: a header line of column titles,
// then one line of six fields per row, every line ended by CR LF.
#pragma once

#include "record/ReadingTable.h"
#include "record/TimeText.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace valdrin {

// Fills list with the pieces of text between the separators (one piece when the
// separator does not occur; adjacent separators give an empty piece). The list's
// previous content is replaced.
void SplitLine(std::string_view text, char separator, std::vector<std::string>& list);

// Receives the file's bytes in blocks; returns false when they could not be written.
using ByteSink = std::function<bool(std::string_view)>;

// Writes the header (titles joined by tabs) and every row. Fields 2 to 6 are trimmed
// of blanks and control characters and written as NULL when nothing is left; a
// control character inside a field is written as a blank, so that every line is one
// row of six fields.
bool writeTextTable(const ReadingTable& table, const std::vector<std::string>& titles,
                    std::string_view longTimeFormat, const ByteSink& sink);

// The longest line a load takes (without its line end). A line of six fields is a
// few hundred bytes at most; the bound keeps a file without line ends (a device, a
// file of another kind) from being taken into memory whole.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

// Reads a text file given in blocks of any size. The first line is dropped; each
// further line becomes a row appended to the table, or fails the load, as does a line
// longer than kMaxLineBytes. A failing line adds nothing, the rows of the lines
// before it stay. What the save writes for a row without a number or time reads back
// as such: an empty No in a line of more than one piece, NULL as Time.
class TextTableReader {
public:
    TextTableReader(ReadingTable& table, std::string_view longTimeFormat);

    bool feed(std::string_view block);
    // The end of the file: takes a last line without line end. False when the load failed.
    bool finish();

private:
    bool takeLine(std::string_view line);
    // readableEnd: the end of the data the pieces lie in.
    bool appendRow(std::array<std::string_view, kFieldCount>& pieces, std::size_t count, const char* readableEnd);
    bool fail();

    ReadingTable& table_;
    TimeOfDayFormat format_;
    std::string partial_;         // a line cut by the end of a block
    bool skipLineFeed_ = false;   // the last block ended in CR: a leading LF belongs to it
    bool headerSeen_ = false;
    bool failed_ = false;
    std::string lastTimeText_;    // consecutive rows often share their second
    int32_t lastTimeMs_ = -1;
};

} // namespace valdrin
