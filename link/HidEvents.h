// The HID component's events. Each is an object method: Code names the method,
// Call is bound to its object. Handlers with the same Code count as the same
// handler (the controller passes a new handler on only to devices that still have
// its old one).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace valdrin {

class THidDevice;
class THidDeviceController;

template <class Signature>
struct THidEvent {
    std::string Code;
    std::function<Signature> Call;
    explicit operator bool() const { return static_cast<bool>(Call); }
};

using THidPlugEvent = THidEvent<void(THidDevice& HidDev)>;
using THidEnumerateEvent = THidEvent<bool(THidDevice& HidDev, int32_t Idx)>;
using TNotifyEvent = THidEvent<void(THidDeviceController& Sender)>;
using THidDataEvent = THidEvent<void(THidDevice& HidDev, uint8_t ReportID, const uint8_t* Data, uint16_t Size)>;
using THidDataErrorEvent = THidEvent<void(THidDevice& HidDev, uint32_t Error)>;

} // namespace valdrin
