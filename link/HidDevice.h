// THidDevice: one HID interface of the controller's list, with its strings,
// attributes, feature reports and data handler, and its reader while claimed.
// THidPnPInfo is what identifies the interface. The controller owns every device
// object; the application holds a claimed one through a THidClaim.
#pragma once

#include "link/HidEvents.h"
#include "link/HidReadThread.h"
#include "link/HidSystem.h"
#include "link/OwnerThread.h"

#include <cstdint>
#include <memory>
#include <string>

namespace valdrin {

class THidClaim;

// What identifies one HID interface. Only these two facts are read by the system.
struct THidPnPInfo {
    std::string DeviceInstance;
    std::string InterfacePath;
};

class THidDevice {
public:
    // Opens the interface to identify it; EControllerError "device cannot be opened"
    // or "device cannot be identified" when that fails.
    THidDevice(THidDeviceController& controller, THidPnPInfo pnpInfo);
    // Stops the reader and closes the handles; the list is the controller's business.
    ~THidDevice();
    THidDevice(const THidDevice&) = delete;
    THidDevice& operator=(const THidDevice&) = delete;

    THidDeviceController* Controller() const { return Controller_; }
    bool Attached() const { return Attached_; }
    bool Claimed() const { return Claimed_; }
    bool InEvent() const { return InEvent_; }
    const THidPnPInfo& PnPInfo() const { return PnPInfo_; }

    std::u16string ProductString();
    std::u16string SerialString();
    uint16_t VendorID() const { return Attributes.VendorID; }
    uint16_t ProductID() const { return Attributes.ProductID; }
    uint16_t VersionNumber() const { return Attributes.VersionNumber; }
    HidCaps Capabilities();
    bool CanReadWrite() const { return CanReadWrite_; }
    bool SendFeatureReport(const uint8_t* Report, std::size_t Size);

    const THidDataEvent& DataHandler() const { return DataHandler_; }
    void SetDataHandler(THidDataEvent handler);
    const THidDataErrorEvent& DataErrorHandler() const { return DataErrorHandler_; }
    void SetDataErrorHandler(THidDataErrorEvent handler) { DataErrorHandler_ = std::move(handler); }
    const THidPlugEvent& UnplugHandler() const { return UnplugHandler_; }
    void SetUnplugHandler(THidPlugEvent handler) { UnplugHandler_ = std::move(handler); }
    int ReaderWaitTime() const { return ReaderWaitTime_; }
    void SetReaderWaitTime(int milliseconds);
    bool ReaderRunning() const { return Reader != nullptr; }
    bool HandlesOpen() const { return MainHandle != nullptr || hasReadHandle(); }

    // Called by the reader's deliveries on the owner's thread.
    void DeliverData(const uint8_t* report, uint32_t bytesRead);
    void DeliverError(uint32_t error);

private:
    friend class THidDeviceController;
    friend class THidClaim;
    bool Accessible() const { return Attached_ && (Claimed_ || InEvent_); }
    void UpdateAccess();
    bool OpenMainHandle(bool always);
    void CloseMainHandle();
    void CloseHandles();
    bool hasReadHandle() const;
    void StartReaderIfQualified();
    void StopReader();
    void Detach();
    void SetInEvent(bool value);

    THidDeviceController* Controller_;
    bool Attached_ = true;
    bool Claimed_ = false;
    bool InEvent_ = false;
    std::unique_ptr<HidHandle> MainHandle;
    HidAttributes Attributes;
    THidPnPInfo PnPInfo_;
    std::u16string ProductString_;
    bool CapsValid = false;
    HidCaps Caps;
    std::u16string SerialString_;
    int ReaderWaitTime_ = 100;
    THidDataEvent DataHandler_;
    THidDataErrorEvent DataErrorHandler_;
    THidPlugEvent UnplugHandler_;
    bool CanReadWrite_ = false;
    std::shared_ptr<THidDeviceReadThread> Reader;

    std::shared_ptr<HidSystem> System;
    OwnerThread& Owner;
    std::shared_ptr<HidReaderLink> Link;
    THidClaim* Claim_ = nullptr;  // the application's hold while claimed
};

} // namespace valdrin
