#include "link/LiveLink.h"

#include "link/ConnectionControl.h"
#include "link/HidControllerClass.h"
#include "link/HidapiSystem.h"
#include "link/SerialDrv.h"

#include <chrono>
#include <cstring>
#include <poll.h>
#include <thread>

namespace valdrin {

namespace {
using SteadyClock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kWatchdogPeriod{100};
constexpr std::chrono::milliseconds kSamplingPeriod{1000};
// How long the loop sleeps at most, so that a stop request is seen soon.
constexpr std::chrono::milliseconds kLoopSlice{10};

// The window's two timers of the core, run by a hand-written loop.
struct CoreTimers {
    SteadyClock::time_point watchdogDue = SteadyClock::now() + kWatchdogPeriod;
    SteadyClock::time_point samplingDue = SteadyClock::now() + kSamplingPeriod;

    void runDue(FcommCore& core, SteadyClock::time_point now)
    {
        if (now >= watchdogDue) {
            watchdogDue = now + kWatchdogPeriod;
            core.guarded([&] { core.ConTimerTimer(); });
        }
        if (now >= samplingDue) {
            samplingDue = now + kSamplingPeriod;
            core.guarded([&] { core.TrecordTimer(); });
        }
    }
    SteadyClock::time_point next() const { return std::min(watchdogDue, samplingDue); }
};
} // namespace

int runLivePort(const std::string& device, FcommCore& core, const std::function<bool()>& stopRequested,
                std::ostream& err)
{
    LoopPollTimer timer;
    TSerialPortDriver COMM2(timer);
    COMM2.SetComPort(pnCOM1);
    COMM2.SetComPortSpeed(br2400);
    COMM2.SetComPortDevice(device);
    COMM2.SetOnReceiveData(
        [&core](TSerialPortDriver&, const uint8_t* data, int32_t size) { core.OnReceiveData(data, size); });
    if (!COMM2.OpenComPort()) {
        err << "Could not open " << device << ": " << COMM2.LastOpenError() << '\n';
        return 2;
    }
    CoreTimers timers;
    while (!stopRequested()) {
        const SteadyClock::time_point now = SteadyClock::now();
        timer.runDue(now);
        timers.runDue(core, now);
        const SteadyClock::time_point wake = std::min({timer.due(), timers.next(), now + kLoopSlice});
        std::this_thread::sleep_until(wake);
    }
    COMM2.CloseComPort();
    return 0;
}

int runLiveHid(const std::string& path, FcommCore& core, bool teskar, const std::function<bool()>& stopRequested,
               std::ostream& err)
{
    OwnerThread owner;
    auto system = std::make_shared<HidapiSystem>();
    std::unique_ptr<THidDeviceController> HidCtl;
    try {
        HidCtl = std::make_unique<THidDeviceController>(owner, system);
    } catch (const EControllerError& e) {
        err << "Could not open " << path << ": " << e.what() << '\n';
        return 2;
    }
    HidCtl->SetOnDeviceDataError({"HidCtlDeviceDataError", [&core](THidDevice&, uint32_t error) {
                                      core.HistoryListBox.add(readErrorLine(std::strerror(static_cast<int>(error)), error));
                                  }});

    THidDevice* device = nullptr;
    for (std::size_t i = 0; i < HidCtl->Devices().size(); ++i)
        if (HidCtl->Devices()[i]->PnPInfo().InterfacePath == path)
            HidCtl->ClaimByIndex(device, static_cast<int32_t>(i));
    if (!device) {
        err << "Could not open " << path << ": not a HID device present\n";
        return 2;
    }
    std::unique_ptr<THidDevice> claimed(device);  // handed back at the end
    if (!device->CanReadWrite()) {
        err << "Could not open " << path
            << ": Permission denied (the udev rule in packaging/ grants the logged-in user access to the cable)\n";
        return 2;
    }
    const auto report = cableFeatureReport();
    device->SendFeatureReport(report.data(), 10);

    bool linkEnded = false;
    core.usbIdleLimit = [&] {
        device->SetDataHandler({});
        linkEnded = true;
    };
    if (teskar)
        device->SetDataHandler({"UsbTeskarData", [&core](THidDevice&, uint8_t id, const uint8_t* data, uint16_t size) {
                                    core.UsbTeskarData(id, data, size);
                                }});
    else
        device->SetDataHandler({"UsbZentorData", [&core](THidDevice&, uint8_t id, const uint8_t* data, uint16_t size) {
                                    core.UsbZentorData(id, data, size);
                                }});

    CoreTimers timers;
    const int notifications = HidCtl->NotificationFd();
    while (!stopRequested() && !linkEnded) {
        owner.waitAndProcess(kLoopSlice);
        if (notifications >= 0) {
            pollfd p{notifications, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0)
                HidCtl->ProcessNotification();
        }
        timers.runDue(core, SteadyClock::now());
    }
    core.usbIdleLimit = nullptr;
    device->SetDataHandler({});
    return 0;
}

} // namespace valdrin
