// TSerialPortDriver: one RS-232 port, opened exclusively, polled by the owner's
// timer, every chunk of received bytes handed to OnReceiveData. It never writes.
// Failures are reported by Boolean results only (and, for the caller that wants to
// tell the user, by LastOpenError).
#pragma once

#include "link/PollTimer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace valdrin {

enum TSerialPortNumber : uint8_t { pnCOM1, pnCOM2, pnCOM3, pnCOM4 };
enum TSerialPortBaudRate : uint8_t {
    br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000, br57600, br115200
};
enum TSerialPortDataBits : uint8_t { db5BITS, db6BITS, db7BITS, db8BITS };
enum TSerialPortStopBits : uint8_t { sb1BITS, sb1HALFBITS, sb2BITS };
enum TSerialPortParity : uint8_t { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum TSerialPortHwHandshaking : uint8_t { hhNONE, hhRTSCTS };
enum TSerialPortSwHandshaking : uint8_t { shNONE, shXONXOFF };

// Bits per second of each TSerialPortBaudRate, indexed by its ordinal.
inline constexpr uint32_t kSerialBaudRates[13] = {110,   300,   600,   1200,  2400,  4800,  9600,
                                                  14400, 19200, 38400, 56000, 57600, 115200};

class TSerialPortDriver;
using TSerialPortReceiveDataEvent =
    std::function<void(TSerialPortDriver& Sender, const uint8_t* DataPtr, int32_t DataSize)>;

class TSerialPortDriver {
public:
    static constexpr int kClosedHandle = 0;
    static constexpr int kInvalidHandle = -1;

    // timer belongs to the owner and outlives the driver; the port stays closed.
    explicit TSerialPortDriver(PollTimer& timer);
    ~TSerialPortDriver();
    TSerialPortDriver(const TSerialPortDriver&) = delete;
    TSerialPortDriver& operator=(const TSerialPortDriver&) = delete;

    bool OpenComPort();
    void CloseComPort();
    bool ComPortOpen() const { return PortHandle != kClosedHandle && PortHandle != kInvalidHandle; }
    void ApplyComPortSettings();
    void PurgeComPort(bool Input, bool Output);

    // The poll: one non-blocking read of at most ComPortInBufSize bytes. The timer
    // calls it; an owner without a timer may call it itself.
    void Poll();

    // Published properties.
    TSerialPortNumber ComPort() const { return ComPort_; }
    void SetComPort(TSerialPortNumber value);
    TSerialPortBaudRate ComPortSpeed() const { return ComPortSpeed_; }
    void SetComPortSpeed(TSerialPortBaudRate value);
    TSerialPortDataBits ComPortDataBits() const { return ComPortDataBits_; }
    void SetComPortDataBits(TSerialPortDataBits value);
    TSerialPortStopBits ComPortStopBits() const { return ComPortStopBits_; }
    void SetComPortStopBits(TSerialPortStopBits value);
    TSerialPortParity ComPortParity() const { return ComPortParity_; }
    void SetComPortParity(TSerialPortParity value);
    TSerialPortHwHandshaking ComPortHwHandshaking() const { return ComPortHwHandshaking_; }
    void SetComPortHwHandshaking(TSerialPortHwHandshaking value);
    TSerialPortSwHandshaking ComPortSwHandshaking() const { return ComPortSwHandshaking_; }
    void SetComPortSwHandshaking(TSerialPortSwHandshaking value);
    uint16_t ComPortInBufSize() const { return ComPortInBufSize_; }
    void SetComPortInBufSize(uint16_t value);
    uint16_t ComPortOutBufSize() const { return ComPortOutBufSize_; }
    void SetComPortOutBufSize(uint16_t value);
    uint16_t ComPortPollingDelay() const { return ComPortPollingDelay_; }
    void SetComPortPollingDelay(uint16_t value);
    bool EnableDTROnOpen() const { return EnableDTROnOpen_; }
    void SetEnableDTROnOpen(bool value) { EnableDTROnOpen_ = value; }
    const TSerialPortReceiveDataEvent& OnReceiveData() const { return OnReceiveData_; }
    void SetOnReceiveData(TSerialPortReceiveDataEvent handler) { OnReceiveData_ = std::move(handler); }

    // Where the port lives on this system. Empty (the default) maps ComPort to a
    // device as SerialPortNames says; a path names the device directly (the
    // companion's --port). Like ComPort, it changes only while closed.
    const std::string& ComPortDevice() const { return ComPortDevice_; }
    void SetComPortDevice(std::string path);
    // The device the next open uses: ComPortDevice, or the mapping of ComPort.
    std::string ComPortDeviceName() const;
    // "COM1" to "COM4".
    std::string ComPortName() const;
    // The system's reason why the last OpenComPort failed; empty after a success.
    const std::string& LastOpenError() const { return LastOpenError_; }

    int Handle() const { return PortHandle; }

private:
    void StartPolling();

    int PortHandle = kClosedHandle;
    TSerialPortNumber ComPort_ = pnCOM2;
    TSerialPortBaudRate ComPortSpeed_ = br9600;
    TSerialPortDataBits ComPortDataBits_ = db8BITS;
    TSerialPortStopBits ComPortStopBits_ = sb1BITS;
    TSerialPortParity ComPortParity_ = ptNONE;
    TSerialPortHwHandshaking ComPortHwHandshaking_ = hhNONE;
    TSerialPortSwHandshaking ComPortSwHandshaking_ = shNONE;
    uint16_t ComPortInBufSize_ = 2048;
    uint16_t ComPortOutBufSize_ = 2048;
    TSerialPortReceiveDataEvent OnReceiveData_;
    uint16_t ComPortPollingDelay_ = 50;
    bool EnableDTROnOpen_ = true;
    PollTimer& Timer;
    std::vector<uint8_t> ReceiveBuffer;

    std::string ComPortDevice_;
    std::string LastOpenError_;
};

} // namespace valdrin
