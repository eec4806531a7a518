// Frames as a meter sends them, for the simulator and for tests: the inverse of
// frame assembly. Nibbles are given as uppercase hexadecimal characters.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace valdrin {

using Bytes = std::vector<uint8_t>;

// Zentor or Brevast: nine data nibbles, then carriage return and line feed (11 bytes).
// Each data byte carries its nibble in the low half and 0x3 in the high half.
Bytes encodeLineFrame(std::string_view nineNibbles);
// Teskar: fourteen nibbles of display bits; byte i carries i (1..14) in its high half.
Bytes encodeTeskarFrame(std::string_view fourteenNibbles);

// One HID input report: report ID, then the count byte and up to seven meter bytes,
// padded with zeros to reportDataSize data bytes.
struct UsbReport {
    uint8_t reportId = 0;
    Bytes data;
};
inline constexpr std::size_t kUsbReportDataSize = 8;
// Cuts the meter bytes of one frame into reports of at most perReport bytes (1..7)
// and closes the frame with one idle report (count 0).
std::vector<UsbReport> encodeUsbFrame(const Bytes& meterBytes, std::size_t perReport = 7);

} // namespace valdrin
