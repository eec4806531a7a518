// The two ways a table file reaches a reader under a fuzz input: the load command
// reading the input as a file, and the reader given the same bytes in small blocks.
// Both must end alike; the rows they give are compared by the harness.
#pragma once

#include "InputFile.h"
#include "TableRoundTrip.h"
#include "record/TableFiles.h"
#include "tests/support/RecordingEdges.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace valdrin::fuzz {

// The block cuts of an input, seeded by its size and last byte.
inline uint32_t blockSeed(const uint8_t* data, std::size_t size)
{
    return static_cast<uint32_t>(size) ^ (size ? uint32_t{data[size - 1]} << 16 : 0u);
}

// One input in eight also goes through the load command's file read: a load from a
// file makes the table's next chunks resident on a worker thread, which costs many
// runs of the readers. Which inputs is fixed by the input, so a finding repeats.
inline bool alsoFromFile(const uint8_t* data, std::size_t size)
{
    return blockSeed(data, size) % 8 == 0;
}

// Loads the input as the file name's extension selects, through LoadTableFile.
inline bool loadFromFile(const uint8_t* data, std::size_t size, const char* extension, ReadingTable& table)
{
    const std::string path = writeInputFile(data, size, extension);
    test::RecordingMessages messages;
    TableFileOptions options;
    options.longTimeFormat = kLongTimeFormat;
    options.syncToDisk = false;
    return LoadTableFile(path, table, false, messages, options);
}

inline void expectSameOutcome(bool fromFile, bool inBlocks)
{
    if (fromFile != inBlocks)
        finding(std::string("the load from the file ") + (fromFile ? "succeeded" : "failed") +
                ", the load of the same bytes in blocks " + (inBlocks ? "succeeded" : "failed"));
}

} // namespace valdrin::fuzz
