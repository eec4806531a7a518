// THidDeviceController: the list of HID interfaces present, following devices as
// they come and go, enumeration for the application and claiming. It owns every
// device object; a claim lends one to the application until the claim lets go.
// Everything runs on the owner's thread.
#pragma once

#include "link/HidClaim.h"
#include "link/HidDevice.h"
#include "link/HidEvents.h"
#include "link/HidSystem.h"
#include "link/OwnerThread.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace valdrin {

class THidDeviceController {
public:
    // One controller serves a HID system (its device list and its notification); a
    // second one on the same system raises EControllerError. Without a system the
    // controller has no devices and no notification.
    THidDeviceController(OwnerThread& owner, std::shared_ptr<HidSystem> system);
    // Claimed devices are detached and stay with their claims; the rest go.
    ~THidDeviceController();
    THidDeviceController(const THidDeviceController&) = delete;
    THidDeviceController& operator=(const THidDeviceController&) = delete;

    void DeviceChange();
    int32_t EnumerateDevices();
    // Claims entry Idx of Devices into HidDev (which lets go of what it held first);
    // false, with HidDev empty, when Idx is out of range or the device is claimed.
    bool ClaimByIndex(THidClaim& HidDev, int32_t Idx);

    // The device-change notification: watch NotificationFd in the owner's loop and
    // call ProcessNotification when it is readable.
    int NotificationFd() const;
    void ProcessNotification();

    const THidPlugEvent& OnArrival() const { return OnArrival_; }
    void SetOnArrival(THidPlugEvent h) { OnArrival_ = std::move(h); }
    const TNotifyEvent& OnDeviceChange() const { return OnDeviceChange_; }
    // A new handler is raised once at once, whether or not anything changed.
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
    std::string Version() const { return "1.0.22"; }

    // Every device known, claimed or not, attached or not.
    const std::vector<std::unique_ptr<THidDevice>>& Devices() const { return Devices_; }
    int32_t UnclaimedCount() const { return UnclaimedCount_; }
    int32_t ClaimedCount() const { return ClaimedCount_; }
    int32_t DetachedCount() const { return DetachedCount_; }

private:
    friend class THidDevice;
    friend class THidClaim;
    class Walk;
    template <class F>
    static void RaiseFor(THidDevice& device, F&& call);
    void ChangeDevices(bool notifyAnyway);
    void RunPendingChange();
    std::vector<std::unique_ptr<THidDevice>> ScanDevices();
    void HandBack(THidDevice& device);
    void DropHandedBack();
    void Recount();

    THidPlugEvent OnArrival_;
    TNotifyEvent OnDeviceChange_;
    THidEnumerateEvent OnEnumerate_;
    THidDataEvent OnDeviceData_;
    THidDataErrorEvent OnDeviceDataError_;
    THidPlugEvent OnDeviceUnplug_;
    THidPlugEvent OnRemoval_;
    std::vector<std::unique_ptr<THidDevice>> Devices_;
    int32_t UnclaimedCount_ = 0;
    int32_t ClaimedCount_ = 0;
    int32_t DetachedCount_ = 0;
    // While the list is walked by index (events raised on its devices), entries
    // stay where they are: devices handed back meanwhile leave it, and device
    // changes run, once the walk is over.
    int walks_ = 0;
    bool changePending_ = false;
    bool notifyPending_ = false;

    OwnerThread& Owner;
    std::shared_ptr<HidSystem> System;
};

} // namespace valdrin
