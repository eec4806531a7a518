// THidDeviceReadThread: reads a claimed device's input reports and hands each one
// to the owner's thread, waiting until the handler has returned. HidReaderLink is
// what the reader shares with its device.
#pragma once

#include "link/HidSystem.h"
#include "link/OwnerThread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace valdrin {

class THidDevice;

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
    THidDeviceReadThread(const THidDeviceReadThread&) = delete;
    THidDeviceReadThread& operator=(const THidDeviceReadThread&) = delete;

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

} // namespace valdrin
