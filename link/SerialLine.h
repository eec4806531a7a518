// The line settings of an open serial device, in the system's terms, and their
// hand-over to the kernel (termios2, so that every rate of the rate table, 14400
// and 56000 included, is set exactly).
#pragma once

#include <cstdint>

namespace valdrin {

enum class LineParity : uint8_t { None, Odd, Even, Mark, Space };

struct SerialLineSettings {
    uint32_t baudRate = 9600;
    int dataBits = 8;          // 5..8
    bool twoStopBits = false;  // 1.5 stop bits have no form of their own here: two are used
    LineParity parity = LineParity::None;
    bool rtsCtsHandshake = false;
    bool xonXoffHandshake = false;
    bool dtrOn = true;
};

// Raw binary line: no echo, no line editing, no character translation, no parity
// checking; reads return at once with what is queued. RTS is held off unless the
// hardware handshake drives it. Results of the calls are not reported.
void applySerialLine(int fd, const SerialLineSettings& settings);
// Discards what is queued for reading and/or writing.
void purgeSerialLine(int fd, bool input, bool output);
// Reads back the rate and character size of the line (for tests); false on failure.
bool readSerialLine(int fd, uint32_t& baudRate, int& dataBits);

} // namespace valdrin
