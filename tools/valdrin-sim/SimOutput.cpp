#include "tools/valdrin-sim/SimOutput.h"

#include "link/SerialLine.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace valdrin::sim {

ByteSink::~ByteSink()
{
    if (fd_ >= 0 && ownsFd_)
        ::close(fd_);
    if (watch_ >= 0)
        ::close(watch_);
}

bool ByteSink::openPty(std::string& error)
{
    fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0) {
        error = std::strerror(errno);
        return false;
    }
    // Raw from the start: no echo back into the master, no translation of 0x0D.
    struct termios tio {};
    if (tcgetattr(fd_, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetspeed(&tio, B2400);
        tcsetattr(fd_, TCSANOW, &tio);
    }
    slave_ = ptsname(fd_);
    return true;
}

bool ByteSink::openDevice(const std::string& path, std::string& error)
{
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        error = std::strerror(errno);
        return false;
    }
    SerialLineSettings line;
    line.baudRate = 2400;
    applySerialLine(fd_, line);
    return true;
}

bool ByteSink::openFile(const std::string& path, std::string& error)
{
    if (path == "-") {
        fd_ = STDOUT_FILENO;
        ownsFd_ = false;
        return true;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

void ByteSink::watchForOpen()
{
    watch_ = inotify_init1(IN_CLOEXEC);
    if (watch_ >= 0 && inotify_add_watch(watch_, slave_.c_str(), IN_OPEN) < 0) {
        ::close(watch_);
        watch_ = -1;
    }
}

bool ByteSink::waitForOpen()
{
    if (watch_ < 0)
        return true;  // no way to wait: start at once
    char event[sizeof(inotify_event) + 256];
    const bool opened = ::read(watch_, event, sizeof event) > 0;
    ::close(watch_);
    watch_ = -1;
    if (opened)
        usleep(200 * 1000);  // the receiver purges its port right after opening it
    return opened;
}

bool ByteSink::write(const std::vector<uint8_t>& bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + at, bytes.size() - at);
        if (n <= 0)
            return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace valdrin::sim
