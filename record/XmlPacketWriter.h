// The XML data packet (version 2.0) of the reading table, written in one piece
// without line breaks: declaration, METADATA with the six FIELDs and PARAMS, ROWDATA.
#pragma once

#include "record/ReadingTable.h"
#include "record/TextTableFile.h"

#include <cstdint>
#include <string>

namespace valdrin {

bool writeXmlPacket(const ReadingTable& table, const ByteSink& sink);

// Escapes a text for an attribute value: < > & ' " CR LF tab and backslash.
void appendXmlEscaped(std::string& out, std::string_view text);

// ms since midnight as HH:MM:SSSSS (the last five digits: ms within the minute).
void appendPacketTime(std::string& out, int32_t ms);

} // namespace valdrin
