#include "link/SerialDrv.h"

#include "link/SerialLine.h"
#include "link/SerialPortNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace valdrin {

TSerialPortDriver::TSerialPortDriver(PollTimer& timer)
    : Timer(timer)
    , ReceiveBuffer(ComPortInBufSize_)
{
}

TSerialPortDriver::~TSerialPortDriver()
{
    CloseComPort();
}

std::string TSerialPortDriver::ComPortName() const
{
    return std::string("COM") + static_cast<char>('1' + ComPort_);
}

std::string TSerialPortDriver::ComPortDeviceName() const
{
    if (!ComPortDevice_.empty())
        return ComPortDevice_;
    return comPortDevice(1 + ComPort_);
}

bool TSerialPortDriver::OpenComPort()
{
    if (ComPortOpen())
        return true;
    const std::string device = ComPortDeviceName();
    if (device.empty()) {
        PortHandle = kInvalidHandle;
        LastOpenError_ = "no serial device stands for " + ComPortName();
        return false;
    }
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && fd < 3) {
        // The handle 0 means "closed"; keep the port clear of the standard descriptors.
        const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        ::close(fd);
        fd = moved;
    }
    if (fd < 0) {
        LastOpenError_ = std::strerror(errno);
        PortHandle = kInvalidHandle;
        return false;
    }
    // No sharing: TIOCEXCL turns away later opens by other users, the lock also
    // those of a privileged user, who may pass TIOCEXCL.
    if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
        LastOpenError_ = std::strerror(errno);
        ::close(fd);
        PortHandle = kInvalidHandle;
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        LastOpenError_ = errno == EWOULDBLOCK ? std::strerror(EBUSY) : std::strerror(errno);
        ::close(fd);
        PortHandle = kInvalidHandle;
        return false;
    }
    PortHandle = fd;
    LastOpenError_.clear();
    ApplyComPortSettings();
    StartPolling();
    return true;
}

void TSerialPortDriver::CloseComPort()
{
    if (!ComPortOpen())
        return;
    Timer.stop();
    ::close(PortHandle);
    PortHandle = kClosedHandle;
}

void TSerialPortDriver::ApplyComPortSettings()
{
    if (!ComPortOpen())
        return;
    SerialLineSettings line;
    line.baudRate = kSerialBaudRates[ComPortSpeed_];
    line.dataBits = 5 + ComPortDataBits_;
    line.twoStopBits = ComPortStopBits_ != sb1BITS;
    line.parity = static_cast<LineParity>(ComPortParity_);
    line.rtsCtsHandshake = ComPortHwHandshaking_ == hhRTSCTS;
    line.xonXoffHandshake = ComPortSwHandshaking_ == shXONXOFF;
    line.dtrOn = EnableDTROnOpen_;
    applySerialLine(PortHandle, line);
    PurgeComPort(true, true);
    // The kernel's queues have a fixed size; ComPortInBufSize bounds each read instead.
}

void TSerialPortDriver::PurgeComPort(bool Input, bool Output)
{
    if (ComPortOpen())
        purgeSerialLine(PortHandle, Input, Output);
}

void TSerialPortDriver::StartPolling()
{
    Timer.start(ComPortPollingDelay_, [this] { Poll(); });
}

void TSerialPortDriver::Poll()
{
    if (!ComPortOpen())
        return;
    const ssize_t n = ::read(PortHandle, ReceiveBuffer.data(), ReceiveBuffer.size());
    // Nothing queued, a read error and a hung-up line (0) all deliver nothing.
    if (n > 0 && OnReceiveData_)
        OnReceiveData_(*this, ReceiveBuffer.data(), static_cast<int32_t>(n));
}

void TSerialPortDriver::SetComPort(TSerialPortNumber value)
{
    if (!ComPortOpen())
        ComPort_ = value;
}

void TSerialPortDriver::SetComPortDevice(std::string path)
{
    if (!ComPortOpen())
        ComPortDevice_ = std::move(path);
}

void TSerialPortDriver::SetComPortSpeed(TSerialPortBaudRate value)
{
    ComPortSpeed_ = value;
    ApplyComPortSettings();
}

void TSerialPortDriver::SetComPortDataBits(TSerialPortDataBits value)
{
    ComPortDataBits_ = value;
    ApplyComPortSettings();
}

void TSerialPortDriver::SetComPortStopBits(TSerialPortStopBits value)
{
    ComPortStopBits_ = value;
    ApplyComPortSettings();
}

void TSerialPortDriver::SetComPortParity(TSerialPortParity value)
{
    ComPortParity_ = value;
    ApplyComPortSettings();
}

void TSerialPortDriver::SetComPortHwHandshaking(TSerialPortHwHandshaking value)
{
    ComPortHwHandshaking_ = value;
    ApplyComPortSettings();
}

void TSerialPortDriver::SetComPortSwHandshaking(TSerialPortSwHandshaking value)
{
    ComPortSwHandshaking_ = value;
    ApplyComPortSettings();
}

void TSerialPortDriver::SetComPortInBufSize(uint16_t value)
{
    if (ComPortOpen())
        return;
    ComPortInBufSize_ = value;
    ReceiveBuffer.assign(value, 0);
    ReceiveBuffer.shrink_to_fit();
}

void TSerialPortDriver::SetComPortOutBufSize(uint16_t value)
{
    // The system never reads it back; kept only while open, where the next
    // ApplyComPortSettings would hand it over.
    if (ComPortOpen())
        ComPortOutBufSize_ = value;
}

void TSerialPortDriver::SetComPortPollingDelay(uint16_t value)
{
    if (value == ComPortPollingDelay_)
        return;
    if (!ComPortOpen()) {
        ComPortPollingDelay_ = value;
        return;
    }
    Timer.stop();
    ComPortPollingDelay_ = value;
    StartPolling();
}

} // namespace valdrin
