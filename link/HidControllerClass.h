// The HID controller family: THidDeviceController keeps the list of HID interfaces
// and follows devices coming and going; THidDevice is one interface with its
// strings, attributes, feature reports and data handler; THidDeviceReadThread reads
// a claimed device's input reports and hands each one to the owner's thread,
// waiting until the handler has returned; THidPnPInfo is what identifies an
// interface. Everything but the reader runs on the owner's thread.
#pragma once

#include "link/HidSystem.h"
#include "link/OwnerThread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace valdrin {

class EControllerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class THidDevice;
class THidDeviceController;

// An event handler as an object method: Code names the method, Call is bound to
// its object. Handlers with the same Code count as the same handler (the controller
// passes a new handler on only to devices that still have its old one).
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

// What identifies one HID interface. Only these two facts are read by the system.
struct THidPnPInfo {
    std::string DeviceInstance;
    std::string InterfacePath;
};

// What a device shares with its reader thread; it outlives whichever goes last.
struct HidReaderLink {
    std::shared_ptr<HidSystem> System;
    std::string Path;
    std::atomic<bool> Accessible{false};
    std::atomic<int> WaitTime{100};
    std::mutex HandleMutex;                // guards ReadHandle only
    std::shared_ptr<HidHandle> ReadHandle; // closed by either side; a read in progress keeps its copy

    std::shared_ptr<HidHandle> openReadHandle(uint32_t& error);
    void closeReadHandle();
};

class THidDeviceReadThread : public std::enable_shared_from_this<THidDeviceReadThread> {
public:
    THidDeviceReadThread(THidDevice& device, std::shared_ptr<HidReaderLink> link, OwnerThread& owner,
                         std::size_t reportLength);
    ~THidDeviceReadThread();

    void Start();
    void Terminate();
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }
    // Waits for the end of the thread on the owner's thread, running queued calls meanwhile.
    void WaitFor();
    // Lets the thread end by itself (a stop requested from inside its own delivery).
    void Detach();
    bool Delivering() const { return delivering_; }

    uint32_t LastError = 0;
    THidDevice* Device;
    uint32_t BytesRead = 0;
    std::vector<uint8_t> ReportBuffer;

private:
    void Execute();
    void WaitSlice();

    std::shared_ptr<HidReaderLink> link_;
    OwnerThread& owner_;
    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    bool delivering_ = false;  // owner's thread only
    std::mutex sliceMutex_;
    std::condition_variable sliceWake_;
};

class THidDevice {
public:
    // Opens the interface to identify it; EControllerError "device cannot be opened"
    // or "device cannot be identified" when that fails.
    THidDevice(THidDeviceController& controller, std::unique_ptr<THidPnPInfo> pnpInfo);
    // Hands the device back to its controller: an attached device is replaced in the
    // list by a fresh unclaimed object that keeps its data and unplug handlers.
    ~THidDevice();
    THidDevice(const THidDevice&) = delete;
    THidDevice& operator=(const THidDevice&) = delete;

    THidDeviceController* Controller() const { return Controller_; }
    bool Attached() const { return Attached_; }
    bool Claimed() const { return Claimed_; }
    bool InEvent() const { return InEvent_; }
    const THidPnPInfo& PnPInfo() const { return *PnPInfo_; }

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
    std::unique_ptr<THidPnPInfo> PnPInfo_;
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
    bool* DestroyedFlag = nullptr;  // set while an event has the device, to notice its destruction
};

class THidDeviceController {
public:
    // Only one controller per program: the device list and the notification are
    // the program's; a second one raises EControllerError.
    THidDeviceController(OwnerThread& owner, std::shared_ptr<HidSystem> system);
    ~THidDeviceController();
    THidDeviceController(const THidDeviceController&) = delete;
    THidDeviceController& operator=(const THidDeviceController&) = delete;

    void DeviceChange();
    int32_t EnumerateDevices();
    // The device belongs to the application once claimed; it hands it back by
    // destroying it.
    bool ClaimByIndex(THidDevice*& HidDev, int32_t Idx);

    // The device-change notification: watch NotificationFd in the owner's loop and
    // call ProcessNotification when it is readable.
    int NotificationFd() const;
    void ProcessNotification();

    const THidPlugEvent& OnArrival() const { return OnArrival_; }
    void SetOnArrival(THidPlugEvent h) { OnArrival_ = std::move(h); }
    const TNotifyEvent& OnDeviceChange() const { return OnDeviceChange_; }
    void SetOnDeviceChange(TNotifyEvent h);
    const THidEnumerateEvent& OnEnumerate() const { return OnEnumerate_; }
    void SetOnEnumerate(THidEnumerateEvent h) { OnEnumerate_ = std::move(h); }
    const THidDataEvent& OnDeviceData() const { return OnDeviceData_; }
    void SetOnDeviceData(THidDataEvent h);
    const THidDataErrorEvent& OnDeviceDataError() const { return OnDeviceDataError_; }
    void SetOnDeviceDataError(THidDataErrorEvent h);
    const THidPlugEvent& OnDeviceUnplug() const { return OnDeviceUnplug_; }
    void SetOnDeviceUnplug(THidPlugEvent h);
    const THidPlugEvent& OnRemoval() const { return OnRemoval_; }
    void SetOnRemoval(THidPlugEvent h) { OnRemoval_ = std::move(h); }
    int32_t DevThreadSleepTime() const { return DevThreadSleepTime_; }
    void SetDevThreadSleepTime(int32_t value);
    std::string Version() const { return "1.0.22"; }
    void SetVersion(std::string value) { VersionIgnored = std::move(value); }
    bool ChangeNotified() const { return ChangeNotified_; }

    const std::vector<THidDevice*>& Devices() const { return Devices_; }
    int32_t UnclaimedCount() const { return UnclaimedCount_; }
    int32_t ClaimedCount() const { return ClaimedCount_; }
    int32_t DetachedCount() const { return DetachedCount_; }

private:
    friend class THidDevice;
    std::vector<THidDevice*> ScanDevices();
    void Recount();

    THidPlugEvent OnArrival_;
    TNotifyEvent OnDeviceChange_;
    THidEnumerateEvent OnEnumerate_;
    THidDataEvent OnDeviceData_;
    THidDataErrorEvent OnDeviceDataError_;
    THidPlugEvent OnDeviceUnplug_;
    THidPlugEvent OnRemoval_;
    bool ChangeNotified_ = false;
    int32_t DevThreadSleepTime_ = 100;
    std::string VersionIgnored;
    std::vector<THidDevice*> Devices_;
    int32_t UnclaimedCount_ = 0;
    int32_t ClaimedCount_ = 0;
    int32_t DetachedCount_ = 0;

    OwnerThread& Owner;
    std::shared_ptr<HidSystem> System;
};

} // namespace valdrin
