// A HID system in memory: devices come and go as the test says, reads wait for
// reports the test queues, every call the controller makes is counted, and the
// device-change notification is a pipe the test writes to.
#pragma once

#include "link/HidSystem.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace valdrin::test {

struct FakeDevice {
    std::string instance;
    std::string path;
    HidAttributes attributes{0x1A86, 0xE008, 0x0100};
    std::u16string product = u"USB to Serial";
    std::u16string serial;
    std::optional<std::u16string> languages = u"\u0409";  // empty optional: the query fails
    bool readWrite = true;
    bool openable = true;
    bool identifiable = true;
    uint16_t inputLength = 9;
};

// Device n of the fake system: /dev/hidraw<n>, the cable's product string unless given.
inline FakeDevice hidDevice(const std::string& n, std::u16string product = u"USB to Serial")
{
    FakeDevice d;
    d.instance = "usb-" + n;
    d.path = "/dev/hidraw" + n;
    d.product = std::move(product);
    return d;
}

class FakeHidSystem final : public HidSystem {
public:
    FakeHidSystem()
    {
        if (::pipe2(notification_, O_NONBLOCK | O_CLOEXEC) != 0)
            notification_[0] = notification_[1] = -1;
    }
    ~FakeHidSystem() override
    {
        for (int fd : notification_)
            if (fd >= 0)
                ::close(fd);
    }
    FakeHidSystem(const FakeHidSystem&) = delete;
    FakeHidSystem& operator=(const FakeHidSystem&) = delete;

    // Makes the notification readable, as a device coming or going would.
    void announce()
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(notification_[1], &byte, 1);
    }
    void plug(FakeDevice device)
    {
        std::lock_guard lock(mutex_);
        devices_.push_back(std::move(device));
    }
    void unplug(const std::string& instance)
    {
        std::lock_guard lock(mutex_);
        devices_.erase(std::remove_if(devices_.begin(), devices_.end(),
                                      [&](const FakeDevice& d) { return d.instance == instance; }),
                       devices_.end());
        wake_.notify_all();
    }
    // An input report, report ID first, for the next read on path.
    void queueReport(const std::string& path, std::vector<uint8_t> report)
    {
        std::lock_guard lock(mutex_);
        inbox_[path].push_back({std::move(report), 0});
        wake_.notify_all();
    }
    // The next read on path fails with error.
    void queueReadError(const std::string& path, uint32_t error)
    {
        std::lock_guard lock(mutex_);
        inbox_[path].push_back({{}, error});
        wake_.notify_all();
    }
    // From now on reads are counted as begun after the mark.
    void mark()
    {
        std::lock_guard lock(mutex_);
        readsAtMark_ = reads_;
    }
    int readsSinceMark()
    {
        std::lock_guard lock(mutex_);
        return reads_ - readsAtMark_;
    }
    std::vector<int> readTimeouts()
    {
        std::lock_guard lock(mutex_);
        return timeouts_;
    }
    std::vector<std::vector<uint8_t>> features()
    {
        std::lock_guard lock(mutex_);
        return features_;
    }
    int openHandles()
    {
        std::lock_guard lock(mutex_);
        return openHandles_;
    }

    bool available() const override { return true; }
    std::vector<HidInterface> enumerate() override
    {
        std::lock_guard lock(mutex_);
        std::vector<HidInterface> out;
        for (const auto& d : devices_)
            out.push_back({d.instance, d.path});
        return out;
    }
    std::unique_ptr<HidHandle> open(const std::string& path, HidAccess access, uint32_t& error) override;
    std::string errorText(uint32_t error) const override { return std::strerror(static_cast<int>(error)); }
    int notificationFd() const override { return notification_[0]; }
    bool takeDeviceChanges() override
    {
        char bytes[16];
        bool taken = false;
        while (::read(notification_[0], bytes, sizeof bytes) > 0)
            taken = true;
        return taken;
    }

private:
    friend class FakeHandle;
    struct Incoming {
        std::vector<uint8_t> report;
        uint32_t error;
    };
    const FakeDevice* find(const std::string& path) const
    {
        for (const auto& d : devices_)
            if (d.path == path)
                return &d;
        return nullptr;
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<FakeDevice> devices_;
    std::map<std::string, std::deque<Incoming>> inbox_;
    std::vector<std::vector<uint8_t>> features_;
    std::vector<int> timeouts_;
    int reads_ = 0;
    int readsAtMark_ = 0;
    int openHandles_ = 0;
    int notification_[2] = {-1, -1};
};

class FakeHandle final : public HidHandle {
public:
    FakeHandle(FakeHidSystem& system, FakeDevice device, HidAccess access)
        : system_(system)
        , device_(std::move(device))
        , access_(access)
    {
        std::lock_guard lock(system_.mutex_);
        ++system_.openHandles_;
    }
    ~FakeHandle() override
    {
        std::lock_guard lock(system_.mutex_);
        --system_.openHandles_;
    }
    FakeHandle(const FakeHandle&) = delete;
    FakeHandle& operator=(const FakeHandle&) = delete;

    bool attributes(HidAttributes& out) override
    {
        out = device_.attributes;
        return device_.identifiable;
    }
    bool capabilities(HidCaps& out) override
    {
        out = HidCaps{};
        out.InputReportByteLength = device_.inputLength;
        return true;
    }
    bool productString(char16_t* buffer, std::size_t units) override { return put(device_.product, buffer, units); }
    bool serialNumberString(char16_t* buffer, std::size_t units) override
    {
        return put(device_.serial, buffer, units);
    }
    bool indexedString(int index, char16_t* buffer, std::size_t units) override
    {
        if (index != 0 || !device_.languages)
            return false;
        return put(*device_.languages, buffer, units);
    }
    bool setFeature(const uint8_t* report, std::size_t size) override
    {
        if (access_ != HidAccess::ReadWrite)
            return false;
        std::lock_guard lock(system_.mutex_);
        system_.features_.emplace_back(report, report + size);
        return true;
    }
    int read(uint8_t* buffer, std::size_t size, int timeoutMs, uint32_t& error) override
    {
        std::unique_lock lock(system_.mutex_);
        ++system_.reads_;
        system_.timeouts_.push_back(timeoutMs);
        auto& inbox = system_.inbox_[device_.path];
        system_.wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            return !inbox.empty() || !system_.find(device_.path);
        });
        if (!system_.find(device_.path)) {
            error = ENODEV;
            return -1;
        }
        if (inbox.empty())
            return 0;
        FakeHidSystem::Incoming next = std::move(inbox.front());
        inbox.pop_front();
        if (next.error != 0) {
            error = next.error;
            return -1;
        }
        const std::size_t n = std::min(size, next.report.size());
        std::copy_n(next.report.begin(), n, buffer);
        return static_cast<int>(n);
    }

private:
    static bool put(const std::u16string& text, char16_t* buffer, std::size_t units)
    {
        const std::size_t n = std::min(text.size(), units);
        std::copy_n(text.begin(), n, buffer);
        if (n < units)
            buffer[n] = 0;
        return true;
    }
    FakeHidSystem& system_;
    FakeDevice device_;
    HidAccess access_;
};

inline std::unique_ptr<HidHandle> FakeHidSystem::open(const std::string& path, HidAccess access, uint32_t& error)
{
    FakeDevice copy;
    {
        std::lock_guard lock(mutex_);
        const FakeDevice* d = find(path);
        if (!d || !d->openable) {
            error = ENODEV;
            return nullptr;
        }
        if (!d->readWrite && access != HidAccess::QueryOnly) {
            error = EACCES;
            return nullptr;
        }
        copy = *d;
    }
    return std::make_unique<FakeHandle>(*this, std::move(copy), access);
}

} // namespace valdrin::test
