// Feeding a capture to the core: raw serial bytes in blocks of at most one poll's
// read, or HID reports given as lines of hex byte pairs.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "meter/FcommCore.h"

namespace valdrin {

inline constexpr std::size_t kPollBlockSize = 2048;

// Hands the stream to the attached serial assembler; false on a read error.
bool feedSerialCapture(std::FILE* in, FcommCore& core);

struct ParsedReport {
    uint8_t reportId = 0;
    std::vector<uint8_t> data;
};
// "00 F2 31 32 00 00 00 00 00": the report ID, then its data bytes. Nothing for a
// line that is not such a list (an empty line included).
std::optional<ParsedReport> parseReportLine(const std::string& line);

// Hands every report line to the USB unpacker of the family; lines that are no
// report are skipped and counted in skipped. False on a read error.
bool feedUsbCapture(std::FILE* in, FcommCore& core, bool teskar, std::size_t& skipped);

} // namespace valdrin
