#include "link/HidControllerClass.h"

#include <algorithm>
#include <cerrno>

namespace valdrin {

namespace {
// The program's one controller: it owns the program's device list and the
// device-change notification, so a second one is refused. This count is the only
// state shared beyond an object.
std::atomic<int> liveControllers{0};

constexpr std::size_t kStringUnits = 254;  // 508-byte string buffers
constexpr std::size_t kFallbackReportLength = 65;

std::u16string takeString(const char16_t* buffer)
{
    std::size_t n = 0;
    while (n < kStringUnits && buffer[n] != 0)
        ++n;
    return std::u16string(buffer, n);
}

// Marks the device as being passed to an event and notices when the event's
// handler destroys it.
class EventScope {
public:
    EventScope(bool*& flagSlot, const std::function<void(bool)>& setInEvent)
        : flagSlot_(flagSlot)
        , setInEvent_(setInEvent)
    {
        flagSlot_ = &destroyed;
        setInEvent_(true);
    }
    ~EventScope()
    {
        if (!destroyed) {
            flagSlot_ = nullptr;
            setInEvent_(false);
        }
    }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;
    bool destroyed = false;

private:
    bool*& flagSlot_;
    std::function<void(bool)> setInEvent_;
};
} // namespace

// ---------------------------------------------------------------- reader link

std::shared_ptr<HidHandle> HidReaderLink::openReadHandle(uint32_t& error)
{
    std::lock_guard lock(HandleMutex);
    if (ReadHandle)
        return ReadHandle;
    if (!Accessible) {
        error = ENODEV;
        return nullptr;
    }
    ReadHandle = System->open(Path, HidAccess::Read, error);
    return ReadHandle;
}

void HidReaderLink::closeReadHandle()
{
    std::shared_ptr<HidHandle> closing;
    {
        std::lock_guard lock(HandleMutex);
        closing.swap(ReadHandle);
    }
    // A read in progress holds its own copy; the handle closes when it returns.
}

// ---------------------------------------------------------------- reader

THidDeviceReadThread::THidDeviceReadThread(THidDevice& device, std::shared_ptr<HidReaderLink> link,
                                           OwnerThread& owner, std::size_t reportLength)
    : Device(&device)
    , ReportBuffer(reportLength)
    , link_(std::move(link))
    , owner_(owner)
{
}

THidDeviceReadThread::~THidDeviceReadThread()
{
    if (thread_.joinable()) {
        Terminate();
        thread_.join();
    }
}

void THidDeviceReadThread::Start()
{
    // The thread keeps its object alive, so a detached reader ends safely.
    thread_ = std::thread([self = shared_from_this()] { self->Execute(); });
}

void THidDeviceReadThread::Terminate()
{
    std::lock_guard lock(sliceMutex_);
    terminated_ = true;
    sliceWake_.notify_all();
}

void THidDeviceReadThread::WaitFor()
{
    owner_.processUntil([this] { return finished_.load(); });
    if (thread_.joinable())
        thread_.join();
}

void THidDeviceReadThread::Detach()
{
    if (thread_.joinable())
        thread_.detach();
}

void THidDeviceReadThread::WaitSlice()
{
    std::unique_lock lock(sliceMutex_);
    sliceWake_.wait_for(lock, std::chrono::milliseconds(link_->WaitTime.load()),
                        [this] { return terminated_.load(); });
}

void THidDeviceReadThread::Execute()
{
    const auto deliverError = [this] {
        owner_.invokeAndWait([this] { Device->DeliverError(LastError); });
    };
    while (!terminated_) {
        std::fill(ReportBuffer.begin(), ReportBuffer.end(), uint8_t{0});
        uint32_t error = 0;
        const std::shared_ptr<HidHandle> handle = link_->openReadHandle(error);
        if (!handle) {
            LastError = error;
            deliverError();
            // One slice before the retry: a device that is gone would otherwise
            // fill the log as fast as the owner can take the errors.
            WaitSlice();
            continue;
        }
        const int n = handle->read(ReportBuffer.data(), ReportBuffer.size(), link_->WaitTime.load(), error);
        if (terminated_)
            break;
        if (n < 0) {
            // A failed read stays failed on this handle (the device went away):
            // drop it, so the next pass opens afresh or reports why it cannot.
            link_->closeReadHandle();
            LastError = error;
            deliverError();
            WaitSlice();
            continue;
        }
        BytesRead = static_cast<uint32_t>(n);
        if (BytesRead > 0) {
            owner_.invokeAndWait([this] {
                struct Reset {
                    bool& flag;
                    ~Reset() { flag = false; }
                } reset{delivering_};
                delivering_ = true;
                Device->DeliverData(ReportBuffer.data(), BytesRead);
            });
        }
    }
    finished_ = true;
    owner_.notify();
}

// ---------------------------------------------------------------- device

THidDevice::THidDevice(THidDeviceController& controller, std::unique_ptr<THidPnPInfo> pnpInfo)
    : Controller_(&controller)
    , PnPInfo_(std::move(pnpInfo))
    , DataHandler_(controller.OnDeviceData_)
    , DataErrorHandler_(controller.OnDeviceDataError_)
    , UnplugHandler_(controller.OnDeviceUnplug_)
    , System(controller.System)
    , Owner(controller.Owner)
    , Link(std::make_shared<HidReaderLink>())
{
    Link->System = System;
    Link->Path = PnPInfo_->InterfacePath;
    Link->WaitTime = ReaderWaitTime_;
    if (!OpenMainHandle(true))
        throw EControllerError("device cannot be opened");
    const bool identified = MainHandle->attributes(Attributes);
    CloseMainHandle();
    if (!identified)
        throw EControllerError("device cannot be identified");
}

THidDevice::~THidDevice()
{
    THidDataEvent data = DataHandler_;
    THidPlugEvent unplug = UnplugHandler_;
    SetDataHandler({});
    UnplugHandler_ = {};
    CloseHandles();

    THidDeviceController* controller = Controller_;
    if (controller) {
        auto& list = controller->Devices_;
        const auto at = std::find(list.begin(), list.end(), this);
        if (at != list.end()) {
            if (Attached_) {
                THidDevice* fresh = nullptr;
                try {
                    fresh = new THidDevice(*controller, std::move(PnPInfo_));
                } catch (...) {
                    fresh = nullptr;
                }
                if (fresh) {
                    fresh->DataHandler_ = std::move(data);
                    fresh->UnplugHandler_ = std::move(unplug);
                    fresh->SetReaderWaitTime(ReaderWaitTime_);
                    *at = fresh;
                    if (Claimed_) {
                        --controller->ClaimedCount_;
                        ++controller->UnclaimedCount_;
                    }
                } else {
                    // The device went while it was handed back: it leaves the list.
                    list.erase(at);
                    --(Claimed_ ? controller->ClaimedCount_ : controller->UnclaimedCount_);
                }
            } else {
                list.erase(at);
                --controller->DetachedCount_;
            }
        }
    }
    if (DestroyedFlag)
        *DestroyedFlag = true;
}

void THidDevice::UpdateAccess()
{
    Link->Accessible = Accessible();
}

void THidDevice::SetInEvent(bool value)
{
    InEvent_ = value;
    UpdateAccess();
}

bool THidDevice::OpenMainHandle(bool always)
{
    if (MainHandle)
        return true;
    if (!always && !Accessible())
        return false;
    uint32_t error = 0;
    MainHandle = System->open(PnPInfo_->InterfacePath, HidAccess::ReadWrite, error);
    CanReadWrite_ = MainHandle != nullptr;
    if (!MainHandle)
        MainHandle = System->open(PnPInfo_->InterfacePath, HidAccess::QueryOnly, error);
    return MainHandle != nullptr;
}

void THidDevice::CloseMainHandle()
{
    MainHandle.reset();
}

bool THidDevice::hasReadHandle() const
{
    std::lock_guard lock(Link->HandleMutex);
    return Link->ReadHandle != nullptr;
}

void THidDevice::CloseHandles()
{
    CloseMainHandle();
    Link->closeReadHandle();
}

std::u16string THidDevice::ProductString()
{
    if (ProductString_.empty() && OpenMainHandle(false)) {
        char16_t buffer[kStringUnits] = {};
        if (MainHandle->productString(buffer, kStringUnits))
            ProductString_ = takeString(buffer);
        CloseMainHandle();
    }
    return ProductString_;
}

std::u16string THidDevice::SerialString()
{
    if (SerialString_.empty() && OpenMainHandle(false)) {
        char16_t serial[kStringUnits] = {};
        if (MainHandle->serialNumberString(serial, kStringUnits)) {
            char16_t languages[kStringUnits];
            std::fill(std::begin(languages), std::end(languages), char16_t{0xFFFF});
            MainHandle->indexedString(0, languages, kStringUnits);
            // The language table's length: up to its terminating zero, or to the
            // last unit the device wrote when it wrote no zero.
            std::size_t length = 0;
            for (std::size_t i = kStringUnits; i-- > 0;) {
                if (languages[i] != 0xFFFF) {
                    length = languages[i] == 0 ? i : i + 1;
                    break;
                }
            }
            // A serial that merely repeats the language table is no serial.
            if (length > 0 && !std::equal(serial, serial + length, languages))
                SerialString_ = takeString(serial);
        }
        CloseMainHandle();
    }
    return SerialString_;
}

HidCaps THidDevice::Capabilities()
{
    if (!CapsValid && OpenMainHandle(false)) {
        CapsValid = MainHandle->capabilities(Caps);
        CloseMainHandle();
    }
    return CapsValid ? Caps : HidCaps{};
}

bool THidDevice::SendFeatureReport(const uint8_t* Report, std::size_t Size)
{
    if (!OpenMainHandle(false))
        return false;
    return MainHandle->setFeature(Report, Size);
}

void THidDevice::SetDataHandler(THidDataEvent handler)
{
    if (!handler)
        StopReader();
    DataHandler_ = std::move(handler);
    StartReaderIfQualified();
}

void THidDevice::SetReaderWaitTime(int milliseconds)
{
    if (milliseconds < 10 || milliseconds > 10000)
        return;
    ReaderWaitTime_ = milliseconds;
    Link->WaitTime = milliseconds;
}

void THidDevice::StartReaderIfQualified()
{
    if (!DataHandler_ || !Attached_ || !Claimed_ || !CanReadWrite_ || Reader)
        return;
    std::size_t length = Capabilities().InputReportByteLength;
    if (length == 0)
        length = kFallbackReportLength;
    Reader = std::make_shared<THidDeviceReadThread>(*this, Link, Owner, length);
    Reader->Start();
}

void THidDevice::StopReader()
{
    if (!Reader)
        return;
    std::shared_ptr<THidDeviceReadThread> reader = std::move(Reader);
    reader->Terminate();
    if (reader->Delivering()) {
        // Asked from inside this reader's own delivery: the reader waits for us, so
        // waiting for it would never end. It ends by itself after the delivery.
        reader->Detach();
        return;
    }
    reader->WaitFor();
}

void THidDevice::Detach()
{
    CloseHandles();
    Attached_ = false;
    UpdateAccess();
    if (UnplugHandler_) {
        THidPlugEvent unplug = std::move(UnplugHandler_);
        UnplugHandler_ = {};
        unplug.Call(*this);
    }
}

void THidDevice::DeliverData(const uint8_t* report, uint32_t bytesRead)
{
    if (!DataHandler_)
        return;
    const auto size = static_cast<uint16_t>(bytesRead > 0 ? bytesRead - 1 : 0);
    // A copy: the handler may replace itself.
    THidDataEvent handler = DataHandler_;
    handler.Call(*this, report[0], report + 1, size);
}

void THidDevice::DeliverError(uint32_t error)
{
    if (!DataErrorHandler_)
        return;
    THidDataErrorEvent handler = DataErrorHandler_;
    handler.Call(*this, error);
}

// ---------------------------------------------------------------- controller

THidDeviceController::THidDeviceController(OwnerThread& owner, std::shared_ptr<HidSystem> system)
    : Owner(owner)
    , System(std::move(system))
{
    if (liveControllers.fetch_add(1) != 0) {
        liveControllers.fetch_sub(1);
        throw EControllerError("Only one THidDeviceController allowed per program");
    }
    Devices_ = ScanDevices();
    UnclaimedCount_ = static_cast<int32_t>(Devices_.size());
}

THidDeviceController::~THidDeviceController()
{
    liveControllers.fetch_sub(1);
    OnDeviceChange_ = {};
    OnDeviceUnplug_ = {};
    OnEnumerate_ = {};
    std::vector<THidDevice*> devices;
    devices.swap(Devices_);
    for (THidDevice* device : devices) {
        device->Controller_ = nullptr;
        if (device->Claimed_)
            device->Detach();  // stays with the application
        else
            delete device;
    }
}

std::vector<THidDevice*> THidDeviceController::ScanDevices()
{
    std::vector<THidDevice*> list;
    if (!System || !System->available())
        return list;
    for (const HidInterface& found : System->enumerate()) {
        try {
            auto info = std::make_unique<THidPnPInfo>(THidPnPInfo{found.DeviceInstance, found.InterfacePath});
            list.push_back(new THidDevice(*this, std::move(info)));
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
    for (const THidDevice* device : Devices_) {
        claimed += device->Claimed_ ? 1 : 0;
        detached += device->Attached_ ? 0 : 1;
    }
    UnclaimedCount_ = static_cast<int32_t>(Devices_.size()) - claimed;
    DetachedCount_ = detached;
    ClaimedCount_ = claimed - detached;
}

void THidDeviceController::DeviceChange()
{
    bool changed = false;
    std::vector<THidDevice*> fresh = ScanDevices();
    const auto presentIn = [&](const THidDevice& device) {
        return std::any_of(fresh.begin(), fresh.end(), [&](const THidDevice* f) {
            return f->PnPInfo_->DeviceInstance == device.PnPInfo_->DeviceInstance;
        });
    };

    const std::vector<THidDevice*> known = Devices_;
    for (auto it = known.rbegin(); it != known.rend(); ++it) {
        THidDevice* device = *it;
        // A removal handler may have handed back another device meanwhile.
        if (std::find(Devices_.begin(), Devices_.end(), device) == Devices_.end())
            continue;
        if (device->Attached_ && presentIn(*device))
            continue;
        device->Detach();
        bool destroyed = false;
        if (OnRemoval_) {
            EventScope scope(device->DestroyedFlag, [device](bool v) { device->SetInEvent(v); });
            OnRemoval_.Call(*device);
            destroyed = scope.destroyed;
        }
        if (!destroyed && !device->Claimed_) {
            Devices_.erase(std::find(Devices_.begin(), Devices_.end(), device));
            device->Controller_ = nullptr;
            delete device;
        }
        changed = true;
    }

    std::vector<THidDevice*> arrivals;
    for (THidDevice* candidate : fresh) {
        const bool known_ = std::any_of(Devices_.begin(), Devices_.end(), [&](const THidDevice* d) {
            return d->Attached_ && d->PnPInfo_->DeviceInstance == candidate->PnPInfo_->DeviceInstance;
        });
        if (known_) {
            candidate->Controller_ = nullptr;
            delete candidate;
        } else {
            arrivals.push_back(candidate);
        }
    }
    for (THidDevice* device : arrivals) {
        Devices_.push_back(device);
        changed = true;
        if (OnArrival_) {
            EventScope scope(device->DestroyedFlag, [device](bool v) { device->SetInEvent(v); });
            OnArrival_.Call(*device);
        }
    }

    Recount();
    if ((changed || !ChangeNotified_) && OnDeviceChange_)
        OnDeviceChange_.Call(*this);
}

int32_t THidDeviceController::EnumerateDevices()
{
    int32_t count = 0;
    for (std::size_t i = 0; i < Devices_.size(); ++i) {
        THidDevice* device = Devices_[i];
        if (!device->Attached_)
            continue;
        ++count;
        if (!OnEnumerate_)
            break;
        bool goOn = true;
        {
            EventScope scope(device->DestroyedFlag, [device](bool v) { device->SetInEvent(v); });
            goOn = OnEnumerate_.Call(*device, static_cast<int32_t>(i));
            if (!scope.destroyed && !device->Claimed_)
                device->CloseHandles();
        }
        if (!goOn)
            break;
    }
    return count;
}

bool THidDeviceController::ClaimByIndex(THidDevice*& HidDev, int32_t Idx)
{
    HidDev = nullptr;
    if (Idx < 0 || static_cast<std::size_t>(Idx) >= Devices_.size())
        return false;
    THidDevice* device = Devices_[static_cast<std::size_t>(Idx)];
    if (device->Claimed_)
        return false;
    device->Claimed_ = true;
    device->UpdateAccess();
    --UnclaimedCount_;
    ++ClaimedCount_;
    device->StartReaderIfQualified();
    HidDev = device;
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
    DeviceChange();
    ChangeNotified_ = true;
}

void THidDeviceController::SetOnDeviceData(THidDataEvent h)
{
    if (h.Code == OnDeviceData_.Code)
        return;
    for (THidDevice* device : Devices_)
        if (device->DataHandler_.Code == OnDeviceData_.Code)
            device->SetDataHandler(h);
    OnDeviceData_ = std::move(h);
}

void THidDeviceController::SetOnDeviceDataError(THidDataErrorEvent h)
{
    if (h.Code == OnDeviceDataError_.Code)
        return;
    for (THidDevice* device : Devices_)
        if (device->DataErrorHandler_.Code == OnDeviceDataError_.Code)
            device->DataErrorHandler_ = h;
    OnDeviceDataError_ = std::move(h);
}

void THidDeviceController::SetOnDeviceUnplug(THidPlugEvent h)
{
    if (h.Code == OnDeviceUnplug_.Code)
        return;
    for (THidDevice* device : Devices_)
        if (device->UnplugHandler_.Code == OnDeviceUnplug_.Code)
            device->UnplugHandler_ = h;
    OnDeviceUnplug_ = std::move(h);
}

void THidDeviceController::SetDevThreadSleepTime(int32_t value)
{
    for (THidDevice* device : Devices_)
        if (device->ReaderWaitTime_ == DevThreadSleepTime_)
            device->SetReaderWaitTime(value);
    DevThreadSleepTime_ = value;
}

} // namespace valdrin
