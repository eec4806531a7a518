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
// of blanks and control characters and written as NULL when nothing is left.
bool writeTextTable(const ReadingTable& table, const std::vector<std::string>& titles,
                    std::string_view longTimeFormat, const ByteSink& sink);

// Reads a text file given in blocks of any size. The first line is dropped; each
// further line becomes a row appended to the table, or fails the load. A failing
// line adds nothing, the rows of the lines before it stay.
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
