// Where the simulated meter's bytes go: a pseudo-terminal it creates, a serial
// device, or a file (standard output for "-").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace valdrin::sim {

class ByteSink {
public:
    ~ByteSink();
    ByteSink() = default;
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;

    // Creates a pseudo-terminal in raw mode; slavePath() names the side to open.
    bool openPty(std::string& error);
    // A serial device at 2400 bits per second, 8 data bits, no parity, 1 stop bit.
    bool openDevice(const std::string& path, std::string& error);
    bool openFile(const std::string& path, std::string& error);

    const std::string& slavePath() const { return slave_; }
    // Starts watching for an open of the slave side; call before telling anyone its path.
    void watchForOpen();
    // Blocks until the slave side was opened after watchForOpen (or a signal).
    bool waitForOpen();
    // False when the receiver went away or a signal interrupted the write.
    bool write(const std::vector<uint8_t>& bytes);

private:
    int fd_ = -1;
    int watch_ = -1;
    bool ownsFd_ = true;
    std::string slave_;
};

} // namespace valdrin::sim
