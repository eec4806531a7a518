// pty_feed: a pseudo-terminal fed byte for byte from standard input. Prints the path
// of its terminal side as the first line, passes on whatever arrives on standard
// input as it arrives, and keeps the terminal open after the input ends until it is
// signalled. The drills use it where the simulator cannot help: a meter whose bytes
// the script chooses, a frame that fails to decode among them.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char* data, ssize_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

int main()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fprintf(stderr, "pty_feed: no pseudo-terminal: %s\n", std::strerror(errno));
        return 2;
    }
    // Raw, so that a carriage return reaches the reader as 0x0D and nothing echoes.
    struct termios tio {};
    if (tcgetattr(master, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetspeed(&tio, B2400);
        tcsetattr(master, TCSANOW, &tio);
    }
    std::printf("%s\n", ptsname(master));
    std::fflush(stdout);

    char block[256];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (!writeAll(master, block, n))
            return 1;
    }
    // The input ended, the line stays up: a closed master would hang the reader up.
    for (;;)
        pause();
}
