#include "link/LiveLink.h"

#include "link/ConnectionControl.h"
#include "link/HidControllerClass.h"
#include "link/HidapiSystem.h"
#include "link/OwnerThread.h"
#include "link/PollTimer.h"
#include "link/SerialDrv.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace valdrin {

namespace {
using SteadyClock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kWatchdogPeriod{100};
constexpr std::chrono::milliseconds kSamplingPeriod{1000};
// How long the loop waits at most, so that a stop request is seen soon.
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

// The window's link parts without widgets: its serial component COMM2, its HID
// controller HidCtl and the connection handlers on them, in the order the window
// builds them (and the reverse order it ends them).
struct LinkParts {
    OwnerThread owner;
    LoopPollTimer pollTimer;
    TSerialPortDriver COMM2{pollTimer};
    THidDeviceController HidCtl;
    ConnectionControl control;

    // Without a HID system the device list stays empty.
    LinkParts(FcommCore& core, std::shared_ptr<HidSystem> hid)
        : HidCtl(owner, std::move(hid))
        , control(core, COMM2, HidCtl)
    {
    }

    // The owner's loop: poll timer, HID deliveries, device-change notification and
    // the core's timers, until stop() holds. afterDeviceChange runs after each
    // notification taken.
    void run(FcommCore& core, const std::function<bool()>& stop, const std::function<void()>& afterDeviceChange)
    {
        CoreTimers timers;
        const int notifications = HidCtl.NotificationFd();
        while (!stop()) {
            const SteadyClock::time_point now = SteadyClock::now();
            pollTimer.runDue(now);
            timers.runDue(core, now);
            if (notifications >= 0) {
                pollfd p{notifications, POLLIN, 0};
                if (::poll(&p, 1, 0) > 0) {
                    HidCtl.ProcessNotification();
                    afterDeviceChange();
                }
            }
            SteadyClock::time_point wake = std::min(timers.next(), now + kLoopSlice);
            if (pollTimer.running())
                wake = std::min(wake, pollTimer.due());
            owner.waitAndProcess(std::chrono::ceil<std::chrono::milliseconds>(
                std::max(wake - SteadyClock::now(), SteadyClock::duration::zero())));
        }
    }
};

// Selects the line of DevListBox whose claimed device is the interface at path and
// returns that device; null when no line holds it.
THidDevice* selectPath(ConnectionControls& C, const std::string& path)
{
    for (std::size_t i = 0; i < C.DevListBox.size(); ++i) {
        const THidClaim& device = C.DevListBox[i].device;
        if (device && device->PnPInfo().InterfacePath == path) {
            C.DevListBoxSelected = static_cast<int>(i);
            return device.get();
        }
    }
    return nullptr;
}

// Presses the USB link's button; true when it stayed down (the device can be read).
bool pressUsb(ConnectionControl& control, bool teskar)
{
    if (teskar) {
        // "Read" alone does not configure the cable.
        control.SetFeatureClick();
        if (!control.C.ReadBtn)
            control.ClickReadBtn();
        return control.C.ReadBtn;
    }
    if (control.C.USBCon)
        control.ClickUSBCon();  // released first, as the user would
    control.ClickUSBCon();
    return control.C.USBCon;
}

} // namespace

int runLivePort(const std::string& device, FcommCore& core, const std::function<bool()>& stopRequested,
                std::ostream& err)
{
    LinkParts link(core, nullptr);
    link.COMM2.SetComPortDevice(device);
    link.control.ClickCOMCon();
    if (!link.control.C.COMCon) {
        err << "Could not open " << device << ": " << link.COMM2.LastOpenError() << '\n';
        return 2;
    }
    link.run(core, stopRequested, [] {});
    link.control.ClickCOMCon();
    return 0;
}

int runLiveHid(const std::string& path, FcommCore& core, bool teskar, const std::function<bool()>& stopRequested,
               std::ostream& err)
{
    return runLiveHid(path, core, teskar, stopRequested, err, std::make_shared<HidapiSystem>());
}

int runLiveHid(const std::string& path, FcommCore& core, bool teskar, const std::function<bool()>& stopRequested,
               std::ostream& err, std::shared_ptr<HidSystem> system)
{
    bool linkEnded = false;
    std::unique_ptr<LinkParts> link;
    try {
        link = std::make_unique<LinkParts>(core, std::move(system));
    } catch (const EControllerError& e) {
        err << "Could not open " << path << ": " << e.what() << '\n';
        return 2;
    }
    ConnectionControl& control = link->control;
    if (!selectPath(control.C, path)) {
        err << "Could not open " << path << ": not a HID device present\n";
        return 2;
    }
    if (!pressUsb(control, teskar)) {
        err << "Could not open " << path
            << ": Permission denied (the udev rule in packaging/ grants the logged-in user access to the cable)\n";
        return 2;
    }

    // The watchdog's end of the USB link ends the run, as the end of input would.
    core.usbIdleLimit = [&linkEnded, release = core.usbIdleLimit] {
        release();
        linkEnded = true;
    };
    const auto stop = [&] { return linkEnded || stopRequested(); };
    link->run(core, stop, [&] {
        // A change of the device set rebuilds the list, which selects the plain
        // cable, and detaches the handler: the user would select and press again.
        const THidDevice* device = selectPath(control.C, path);
        if (device && !device->DataHandler())
            pressUsb(control, teskar);
    });
    return 0;
}

} // namespace valdrin
