#include "link/HidClaim.h"

#include "link/HidDevice.h"
#include "link/HidDeviceController.h"

namespace valdrin {

THidClaim::THidClaim(THidClaim&& other) noexcept
{
    *this = std::move(other);
}

THidClaim& THidClaim::operator=(THidClaim&& other) noexcept
{
    if (this == &other)
        return *this;
    reset();
    device_ = other.device_;
    orphan_ = std::move(other.orphan_);
    other.device_ = nullptr;
    if (device_)
        device_->Claim_ = this;
    return *this;
}

void THidClaim::take(THidDevice& device)
{
    reset();
    device_ = &device;
    device.Claim_ = this;
}

void THidClaim::reset() noexcept
{
    THidDevice* device = device_;
    if (!device)
        return;
    device_ = nullptr;
    device->Claim_ = nullptr;
    if (orphan_)
        orphan_.reset();
    else if (device->Controller_)
        device->Controller_->HandBack(*device);
}

} // namespace valdrin
