// Live reading for the companion: a serial device or a HID cable read through the
// same driver and controller as the window, driving the same core, until stop.
// Both loops also run the core's 100 ms link watchdog (ConTimerTimer) and its
// 1000 ms sampling clock (TrecordTimer).
#pragma once

#include "meter/FcommCore.h"

#include <functional>
#include <ostream>
#include <string>

namespace valdrin {

// Opens device (2400 8N1, exclusive) and hands every poll's bytes to the core's
// serial assembler, polling every ComPortPollingDelay (50 ms). Returns 0 once
// stopRequested() holds; 2 with "Could not open " + device + ": " + reason on err
// when the device cannot be opened.
int runLivePort(const std::string& device, FcommCore& core, const std::function<bool()>& stopRequested,
                std::ostream& err);

// Claims the HID interface at path (e.g. /dev/hidraw3), sends the cable's
// configuration report and hands its input reports to UsbZentorData, or to
// UsbTeskarData when teskar is set. Returns 0 once stopRequested() holds or the
// watchdog has ended the USB link (only idle reports for too long); 2 with
// "Could not open " + path + ": " + reason on err when it is not a HID device
// present or cannot be read and written.
int runLiveHid(const std::string& path, FcommCore& core, bool teskar, const std::function<bool()>& stopRequested,
               std::ostream& err);

} // namespace valdrin
