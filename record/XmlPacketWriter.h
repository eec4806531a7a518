// The XML data packet (version 2.0) of the reading table, written in one piece
// without line breaks: declaration, METADATA with the six FIELDs and PARAMS, ROWDATA.
#pragma once

#include "record/ReadingTable.h"
#include "record/TextTableFile.h"

namespace valdrin {

bool writeXmlPacket(const ReadingTable& table, const ByteSink& sink);

} // namespace valdrin
