#include "link/HidDeviceController.h"

#include "link/ControllerError.h"

#include <algorithm>

namespace valdrin {

// A walk over the list by index. When the last walk ends, devices handed back
// meanwhile leave the list and the counts are made again.
class THidDeviceController::Walk {
public:
    explicit Walk(THidDeviceController& controller) : controller_(controller) { ++controller_.walks_; }
    ~Walk()
    {
        --controller_.walks_;
        controller_.DropHandedBack();
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

private:
    THidDeviceController& controller_;
};

// While an event has the device, it is accessible whether claimed or not.
template <class F>
void THidDeviceController::RaiseFor(THidDevice& device, F&& call)
{
    struct Reset {
        THidDevice& device;
        ~Reset() { device.SetInEvent(false); }
    } reset{device};
    device.SetInEvent(true);
    call();
}

THidDeviceController::THidDeviceController(OwnerThread& owner, std::shared_ptr<HidSystem> system)
    : Owner(owner)
    , System(std::move(system))
{
    if (System && !System->seatController())
        throw EControllerError("Only one THidDeviceController allowed per program");
    try {
        Devices_ = ScanDevices();
    } catch (...) {
        System->unseatController();
        throw;
    }
    Recount();
}

THidDeviceController::~THidDeviceController()
{
    OnDeviceChange_ = {};
    OnDeviceUnplug_ = {};
    OnEnumerate_ = {};
    std::vector<std::unique_ptr<THidDevice>> devices;
    devices.swap(Devices_);
    for (std::unique_ptr<THidDevice>& owned : devices) {
        THidDevice& device = *owned;
        device.Controller_ = nullptr;
        if (device.Claimed_ && device.Claim_) {
            device.Claim_->orphan_ = std::move(owned);
            device.Detach();  // its unplug handler may let go of it, which ends it
        }
    }
    devices.clear();
    if (System)
        System->unseatController();
}

std::vector<std::unique_ptr<THidDevice>> THidDeviceController::ScanDevices()
{
    std::vector<std::unique_ptr<THidDevice>> list;
    if (!System || !System->available())
        return list;
    for (const HidInterface& found : System->enumerate()) {
        try {
            list.push_back(std::make_unique<THidDevice>(*this, THidPnPInfo{found.DeviceInstance, found.InterfacePath}));
        } catch (...) {
            // An interface that cannot be opened or identified is skipped.
        }
    }
    return list;
}

void THidDeviceController::Recount()
{
    int32_t claimed = 0;
    int32_t detached = 0;
    for (const std::unique_ptr<THidDevice>& device : Devices_) {
        claimed += device->Claimed_ ? 1 : 0;
        detached += device->Attached_ ? 0 : 1;
    }
    UnclaimedCount_ = static_cast<int32_t>(Devices_.size()) - claimed;
    DetachedCount_ = detached;
    ClaimedCount_ = claimed - detached;
}

void THidDeviceController::DropHandedBack()
{
    // A detached device that nobody holds is gone for good.
    if (walks_ == 0)
        std::erase_if(Devices_, [](const std::unique_ptr<THidDevice>& d) { return !d->Attached_ && !d->Claimed_; });
    Recount();
}

void THidDeviceController::HandBack(THidDevice& device)
{
    // Reports read before the hand-back still reach the handler; it stays with the
    // device for the next claim, whose reader starts with it.
    THidDataEvent handler = device.DataHandler_;
    device.SetDataHandler({});
    device.CloseHandles();
    device.Claimed_ = false;
    device.UpdateAccess();
    device.DataHandler_ = std::move(handler);
    DropHandedBack();
}

void THidDeviceController::DeviceChange()
{
    ChangeDevices(false);
}

void THidDeviceController::ChangeDevices(bool notifyAnyway)
{
    if (walks_ > 0) {
        changePending_ = true;
        notifyPending_ = notifyPending_ || notifyAnyway;
        return;
    }
    bool changed = false;
    {
        Walk walk(*this);
        std::vector<std::unique_ptr<THidDevice>> fresh = ScanDevices();
        const auto sameInstance = [](const THidDevice& device) {
            return [&device](const std::unique_ptr<THidDevice>& other) {
                return other->PnPInfo_.DeviceInstance == device.PnPInfo_.DeviceInstance;
            };
        };

        for (std::size_t i = Devices_.size(); i-- > 0;) {
            THidDevice& device = *Devices_[i];
            if (!device.Attached_ && !device.Claimed_)
                continue;  // handed back during this walk
            if (device.Attached_ && std::any_of(fresh.begin(), fresh.end(), sameInstance(device)))
                continue;
            device.Detach();
            if (OnRemoval_) {
                const THidPlugEvent handler = OnRemoval_;
                RaiseFor(device, [&] { handler.Call(device); });
            }
            if (!device.Claimed_)
                Devices_.erase(Devices_.begin() + static_cast<std::ptrdiff_t>(i));
            changed = true;
        }

        for (std::unique_ptr<THidDevice>& candidate : fresh) {
            const bool known = std::any_of(Devices_.begin(), Devices_.end(), [&](const std::unique_ptr<THidDevice>& d) {
                return d->Attached_ && d->PnPInfo_.DeviceInstance == candidate->PnPInfo_.DeviceInstance;
            });
            if (known)
                continue;  // the object of the new scan is discarded with it
            THidDevice& device = *candidate;
            Devices_.push_back(std::move(candidate));
            changed = true;
            if (OnArrival_) {
                const THidPlugEvent handler = OnArrival_;
                RaiseFor(device, [&] { handler.Call(device); });
            }
        }
    }
    if ((changed || notifyAnyway) && OnDeviceChange_) {
        const TNotifyEvent handler = OnDeviceChange_;
        handler.Call(*this);
    }
    RunPendingChange();
}

void THidDeviceController::RunPendingChange()
{
    if (!changePending_ || walks_ > 0)
        return;
    const bool notify = notifyPending_;
    changePending_ = notifyPending_ = false;
    ChangeDevices(notify);
}

int32_t THidDeviceController::EnumerateDevices()
{
    int32_t count = 0;
    {
        Walk walk(*this);
        for (std::size_t i = 0; i < Devices_.size(); ++i) {
            THidDevice& device = *Devices_[i];
            if (!device.Attached_)
                continue;
            ++count;
            if (!OnEnumerate_)
                break;
            const THidEnumerateEvent handler = OnEnumerate_;
            bool goOn = true;
            RaiseFor(device, [&] { goOn = handler.Call(device, static_cast<int32_t>(i)); });
            if (!device.Claimed_)
                device.CloseHandles();
            if (!goOn)
                break;
        }
    }
    RunPendingChange();
    return count;
}

bool THidDeviceController::ClaimByIndex(THidClaim& HidDev, int32_t Idx)
{
    if (Idx < 0 || static_cast<std::size_t>(Idx) >= Devices_.size()
        || Devices_[static_cast<std::size_t>(Idx)]->Claimed_) {
        HidDev.reset();
        return false;
    }
    THidDevice& device = *Devices_[static_cast<std::size_t>(Idx)];
    device.Claimed_ = true;
    device.UpdateAccess();
    THidClaim claim;
    claim.take(device);
    HidDev = std::move(claim);  // lets go of what HidDev held
    Recount();
    device.StartReaderIfQualified();
    return true;
}

int THidDeviceController::NotificationFd() const
{
    return System ? System->notificationFd() : -1;
}

void THidDeviceController::ProcessNotification()
{
    if (System && System->takeDeviceChanges())
        DeviceChange();
}

void THidDeviceController::SetOnDeviceChange(TNotifyEvent h)
{
    if (h.Code == OnDeviceChange_.Code && static_cast<bool>(h) == static_cast<bool>(OnDeviceChange_))
        return;
    OnDeviceChange_ = std::move(h);
    ChangeDevices(true);
}

void THidDeviceController::SetOnDeviceData(THidDataEvent h)
{
    if (h.Code == OnDeviceData_.Code)
        return;
    Walk walk(*this);  // a stopping reader runs deliveries that may hand devices back
    for (const std::unique_ptr<THidDevice>& device : Devices_)
        if (device->DataHandler_.Code == OnDeviceData_.Code)
            device->SetDataHandler(h);
    OnDeviceData_ = std::move(h);
}

void THidDeviceController::SetOnDeviceDataError(THidDataErrorEvent h)
{
    if (h.Code == OnDeviceDataError_.Code)
        return;
    for (const std::unique_ptr<THidDevice>& device : Devices_)
        if (device->DataErrorHandler_.Code == OnDeviceDataError_.Code)
            device->DataErrorHandler_ = h;
    OnDeviceDataError_ = std::move(h);
}

void THidDeviceController::SetOnDeviceUnplug(THidPlugEvent h)
{
    if (h.Code == OnDeviceUnplug_.Code)
        return;
    for (const std::unique_ptr<THidDevice>& device : Devices_)
        if (device->UnplugHandler_.Code == OnDeviceUnplug_.Code)
            device->UnplugHandler_ = h;
    OnDeviceUnplug_ = std::move(h);
}

} // namespace valdrin
