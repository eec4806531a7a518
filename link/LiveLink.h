// Live reading for the companion: the window's connection handlers, driven as its
// buttons would drive them, on a serial device or a HID cable, feeding the same
// core until stop. The loop also runs the core's 100 ms link watchdog
// (ConTimerTimer) and its 1000 ms sampling clock (TrecordTimer).
#pragma once

#include "link/HidSystem.h"
#include "meter/FcommCore.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace valdrin {

// "COM Connect" on device (2400 8N1, exclusive): every poll's bytes go to the
// core's serial assembler every ComPortPollingDelay (50 ms). Returns 0 once
// stopRequested() holds; 2 with "Could not open " + device + ": " + reason on err
// when the device cannot be opened.
int runLivePort(const std::string& device, FcommCore& core, const std::function<bool()>& stopRequested,
                std::ostream& err);

// The device list with the HID interface at path (e.g. /dev/hidraw3) selected,
// then "USB Connect" (UsbZentorData), or with teskar "SetFeature" and "Read"
// (UsbTeskarData). A change of the device set, which detaches the handler, presses
// again on path. Returns 0 once stopRequested() holds or the watchdog has ended
// the USB link (only idle reports for too long); 2 with "Could not open " + path +
// ": " + reason on err when it is not a HID device present or cannot be read and
// written.
int runLiveHid(const std::string& path, FcommCore& core, bool teskar, const std::function<bool()>& stopRequested,
               std::ostream& err);
// The same on a given HID system (the real one above).
int runLiveHid(const std::string& path, FcommCore& core, bool teskar, const std::function<bool()>& stopRequested,
               std::ostream& err, std::shared_ptr<HidSystem> system);

} // namespace valdrin
