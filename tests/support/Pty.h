// A real pseudo-terminal for the serial tests: the test writes as the meter on the
// master side, the driver opens the slave path as it would open a port.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace valdrin::test {

class Pty {
public:
    Pty()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            throw std::runtime_error("no pseudo-terminal");
        slave_ = ptsname(master_);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& slavePath() const { return slave_; }
    void write(const std::vector<uint8_t>& bytes) const
    {
        std::size_t at = 0;
        while (at < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + at, bytes.size() - at);
            if (n <= 0)
                throw std::runtime_error("write to the pseudo-terminal failed");
            at += static_cast<std::size_t>(n);
        }
    }
    void closeMaster()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slave_;
};

// Bytes queued for reading on an open descriptor.
inline int queuedBytes(int fd)
{
    int n = 0;
    ioctl(fd, FIONREAD, &n);
    return n;
}

// The terminal layer hands master writes to the slave asynchronously: wait until
// at least want bytes are queued there (bounded, so a fault fails instead of hanging).
inline bool waitQueued(int fd, int want)
{
    for (int i = 0; i < 5000; ++i) {
        if (queuedBytes(fd) >= want)
            return true;
        usleep(1000);
    }
    return false;
}

} // namespace valdrin::test
