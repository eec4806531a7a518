#include "link/HidDevice.h"

#include "link/ControllerError.h"
#include "link/HidDeviceController.h"

#include <algorithm>
#include <iterator>

namespace valdrin {

namespace {
constexpr std::size_t kStringUnits = 254;  // 508-byte string buffers
constexpr std::size_t kFallbackReportLength = 65;

std::u16string takeString(const char16_t* buffer)
{
    std::size_t n = 0;
    while (n < kStringUnits && buffer[n] != 0)
        ++n;
    return std::u16string(buffer, n);
}
} // namespace

THidDevice::THidDevice(THidDeviceController& controller, THidPnPInfo pnpInfo)
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
    Link->Path = PnPInfo_.InterfacePath;
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
    SetDataHandler({});
    CloseHandles();
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
    MainHandle = System->open(PnPInfo_.InterfacePath, HidAccess::ReadWrite, error);
    CanReadWrite_ = MainHandle != nullptr;
    if (!MainHandle)
        MainHandle = System->open(PnPInfo_.InterfacePath, HidAccess::QueryOnly, error);
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
        // Last: the handler may let go of the device, which may end it.
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

} // namespace valdrin
