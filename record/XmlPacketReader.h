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
    // Scans data from pos_ on, up to an item cut by its end (pos_ then points at it).
    bool scanAvailable(std::string_view data, bool atEnd);
    // A ROW in the form writeXmlPacket gives it, taken without the general scanner:
    // the bytes it took, 0 when the data there is anything else.
    std::size_t takeWrittenRow(const char* p, const char* end);
    bool take(const PacketTag& tag);
    bool takeField(const PacketTag& tag);
    bool takeParams(const PacketTag& tag);
    bool takeRow(const PacketTag& tag);
    // texts: DC/AC, Value, Unit, Auto; seen has a bit per Field given.
    void appendRow(bool logged, uint8_t seen, int32_t no, int32_t time, const std::string_view* texts);
    bool fail(std::string reason);

    ReadingTable& table_;
    std::string buffer_;           // the start of an item cut by the end of a block
    std::size_t pos_ = 0;          // first byte not yet consumed of the data being scanned
    std::size_t retryAt_ = 0;      // a cut item: scan it again once this many of its bytes are there
    std::size_t consumedBefore_ = 0;  // file offset of the first byte of the data being scanned
    State state_ = State::Start;
    std::string awaitEnd_;         // an element that must be empty was opened with a start tag
    uint8_t fieldsSeen_ = 0;       // bit per Field
    std::string scratch_[5];       // unescaped values of the ROW being read: four texts, a number
    // The last row's DC/AC attribute, and its Unit and Auto attributes with the "/>"
    // that ends it, with where their values lie, in the form this system writes.
    std::string lastMode_;
    struct Tail : std::string {
        uint8_t seen = 0;  // bits of the fields the span gives
        std::size_t unitAt = 0, unitSize = 0, autoAt = 0, autoSize = 0;
    } lastTail_;
    std::string failure_;
};

} // namespace valdrin
