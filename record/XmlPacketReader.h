// Reads the XML data packet that writeXmlPacket writes, and nothing else: the
// declaration, DATAPACKET with METADATA (six FIELDs, PARAMS) and ROWDATA of ROWs,
// the five named escapes and decimal or hexadecimal character references. A DOCTYPE,
// an entity declaration, comments, text content, unknown elements or attributes of a
// ROW, or any malformed markup fail the read. The element structure is fixed, so the
// reader keeps a state, not a stack: nesting is bounded by construction.
#pragma once

#include "record/ReadingTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace valdrin {

struct PacketTag;  // one scanned tag, defined with the scanner

class XmlPacketReader {
public:
    // Rows are appended to table; the caller passes a fresh table and keeps it only
    // when finish() succeeds.
    explicit XmlPacketReader(ReadingTable& table);

    // Takes the next block of the file, of any size. False once the packet failed.
    bool feed(std::string_view block);
    // The end of the file: true when a complete packet with the six fields was read.
    bool finish();
    // Why the read failed, for diagnostics.
    const std::string& failure() const { return failure_; }

private:
    enum class State : uint8_t {
        Start, Prolog, InPacket, InMetadata, InFields, AfterFields, AfterParams,
        AfterMetadata, InRowData, AfterRowData, Done
    };
    bool scanAvailable(bool atEnd);
    bool take(const PacketTag& tag);
    bool takeField(const PacketTag& tag);
    bool takeParams(const PacketTag& tag);
    bool takeRow(const PacketTag& tag);
    bool fail(std::string reason);

    ReadingTable& table_;
    std::string buffer_;
    std::size_t pos_ = 0;          // first byte of buffer_ not yet consumed
    std::size_t retryAt_ = 0;      // an item cut by the end of the data: scan again at this many bytes
    std::size_t consumedBefore_ = 0;  // file offset of buffer_[0]
    State state_ = State::Start;
    std::string awaitEnd_;         // an element that must be empty was opened with a start tag
    uint8_t fieldsSeen_ = 0;       // bit per Field
    std::string scratch_[5];       // unescaped values of the ROW being read: four texts, a number
    std::string failure_;
};

} // namespace valdrin
