// The real HID system: hidapi's hidraw backend opens devices, reads input
// reports, sends feature reports and gives strings; libudev lists the hidraw
// interfaces with the facts that identify them and tells when they come and go.
#pragma once

#include "link/HidSystem.h"

struct udev;
struct udev_monitor;

namespace valdrin {

class HidapiSystem final : public HidSystem {
public:
    HidapiSystem();
    ~HidapiSystem() override;
    HidapiSystem(const HidapiSystem&) = delete;
    HidapiSystem& operator=(const HidapiSystem&) = delete;

    bool available() const override;
    std::vector<HidInterface> enumerate() override;
    std::unique_ptr<HidHandle> open(const std::string& path, HidAccess access, uint32_t& error) override;
    std::string errorText(uint32_t error) const override;
    int notificationFd() const override;
    bool takeDeviceChanges() override;

private:
    bool hidapiReady_ = false;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};

} // namespace valdrin
