// Saving the reading table to a file and loading files back: tab-separated text for
// every name but one ending in ".xml" (any case), which gives the XML data packet.
// Both report their outcome through the window's messages.
#pragma once

#include "base/Edges.h"
#include "record/ReadingTable.h"
#include "record/TextTableFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace valdrin {

struct TableFileOptions {
    // The system's long time format (an strftime pattern such as the locale's T_FMT):
    // how Time is written to and read from a text file.
    std::string longTimeFormat = "%H:%M:%S";
    // The grid's column titles in its current column order: the text file's header.
    std::vector<std::string> columnTitles{kFieldNames.begin(), kFieldNames.end()};
    // A save waits until the new file is on the disk before it replaces the old one.
    bool syncToDisk = true;
};

enum class TableFileFormat { Text, XmlPacket };

// The format the name's extension selects: from the last "." of the file name on
// (a dot in a folder name is no extension), compared without regard to case.
TableFileFormat tableFileFormat(std::string_view fileName);

// Writes the whole table and shows "Save table to specified file: <name> Scuss!".
// The previous file stays as it was unless the new one was written completely (but
// for the last resort of writing it in place, see ReplacingFile); a file the user may
// not write fails the save; a symbolic link stays and the file it names is saved.
// Text failure: "Could not save table to specified file: <name>" (caption "Error");
// XML failure: the file error goes to the application's error handler.
bool SaveTableFile(const ReadingTable& table, const std::string& fileName, Messages& messages,
                   const TableFileOptions& options = {});

// Reads a file into the table. A text file adds its rows (as appended rows); an XML
// packet replaces the rows and restores the change log it carries. On failure, also
// when memory runs out, shows "Failed to Load File!": a text load keeps the rows of
// the lines before the failing one, an XML load leaves the table as it was.
// emptyFirst empties the table before a text load and is implied by the replacement
// of an XML load.
bool LoadTableFile(const std::string& fileName, ReadingTable& table, bool emptyFirst, Messages& messages,
                   const TableFileOptions& options = {});

} // namespace valdrin
