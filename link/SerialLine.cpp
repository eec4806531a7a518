// Only the kernel's termios2 is used here; <termios.h> cannot be included beside it.
#include "link/SerialLine.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace valdrin {

void applySerialLine(int fd, const SerialLineSettings& s)
{
    struct termios2 tio {};
    ioctl(fd, TCGETS2, &tio);
    tio.c_iflag = 0;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag = CREAD | CLOCAL | BOTHER;
    switch (s.dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    if (s.twoStopBits)
        tio.c_cflag |= CSTOPB;
    switch (s.parity) {
    case LineParity::None: break;
    case LineParity::Odd: tio.c_cflag |= PARENB | PARODD; break;
    case LineParity::Even: tio.c_cflag |= PARENB; break;
    case LineParity::Mark: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case LineParity::Space: tio.c_cflag |= PARENB | CMSPAR; break;
    }
    if (s.rtsCtsHandshake)
        tio.c_cflag |= CRTSCTS;
    if (s.xonXoffHandshake) {
        tio.c_iflag |= IXON | IXOFF;
        tio.c_cc[VSTART] = 0x11;
        tio.c_cc[VSTOP] = 0x13;
    }
    tio.c_ispeed = s.baudRate;
    tio.c_ospeed = s.baudRate;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ioctl(fd, TCSETS2, &tio);

    int dtr = TIOCM_DTR;
    ioctl(fd, s.dtrOn ? TIOCMBIS : TIOCMBIC, &dtr);
    if (!s.rtsCtsHandshake) {
        int rts = TIOCM_RTS;
        ioctl(fd, TIOCMBIC, &rts);
    }
}

void purgeSerialLine(int fd, bool input, bool output)
{
    if (input && output)
        ioctl(fd, TCFLSH, TCIOFLUSH);
    else if (input)
        ioctl(fd, TCFLSH, TCIFLUSH);
    else if (output)
        ioctl(fd, TCFLSH, TCOFLUSH);
}

bool readSerialLine(int fd, uint32_t& baudRate, int& dataBits)
{
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    baudRate = tio.c_ospeed;
    switch (tio.c_cflag & CSIZE) {
    case CS5: dataBits = 5; break;
    case CS6: dataBits = 6; break;
    case CS7: dataBits = 7; break;
    default: dataBits = 8; break;
    }
    return true;
}

} // namespace valdrin
