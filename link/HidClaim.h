// THidClaim: the application's hold on one claimed device of the controller's
// list. Letting go (destruction, reset, or assigning another claim) hands the
// device back to the controller: its reader stops, it becomes unclaimed again and
// keeps its data handler for the next claim; a detached device leaves the list.
// A claim that outlives the controller keeps its detached device until it lets go.
#pragma once

#include <memory>

namespace valdrin {

class THidDevice;
class THidDeviceController;

class THidClaim {
public:
    THidClaim() = default;
    ~THidClaim() { reset(); }
    THidClaim(THidClaim&& other) noexcept;
    THidClaim& operator=(THidClaim&& other) noexcept;
    THidClaim(const THidClaim&) = delete;
    THidClaim& operator=(const THidClaim&) = delete;

    THidDevice* get() const { return device_; }
    THidDevice* operator->() const { return device_; }
    THidDevice& operator*() const { return *device_; }
    explicit operator bool() const { return device_ != nullptr; }

    // Hands the device back; the claim is empty afterwards.
    void reset() noexcept;

private:
    friend class THidDeviceController;
    void take(THidDevice& device);

    THidDevice* device_ = nullptr;
    std::unique_ptr<THidDevice> orphan_;  // the device, once its controller has gone
};

} // namespace valdrin
