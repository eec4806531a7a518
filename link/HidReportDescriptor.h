// What a HID report descriptor says about the reports of an interface: their
// longest lengths (report ID byte included, as the controller counts them), the
// top-level usage, and whether reports are numbered. hidraw hands out the
// descriptor, not these facts.
#pragma once

#include "link/HidSystem.h"

#include <cstddef>
#include <cstdint>

namespace valdrin {

struct HidReportLayout {
    HidCaps caps;
    bool numbered = false;  // reports carry a report ID byte of their own
};

HidReportLayout parseReportDescriptor(const uint8_t* data, std::size_t size);

} // namespace valdrin
