#include "link/HidReadThread.h"

#include "link/HidDevice.h"

#include <algorithm>
#include <cerrno>

namespace valdrin {

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

} // namespace valdrin
