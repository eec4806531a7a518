// Plain state of the window's controls that the logic reads or writes. The window
// mirrors it into its widgets; the companion has no widgets at all.
#pragma once

#include <string>

#include "record/Limits.h"
#include "record/RecallStamp.h"
#include "record/Recording.h"

namespace valdrin {

// Build-variant switches: hidden check boxes of the window.
struct VariantSwitches {
    bool IFQuellix = true, IFTeskar = false, IFMorvane = false, IFBrevast = false, IFDornel = false;
    bool IFOlvira = false, IFPendry = false, IFSaltorn = false, IFOtherT = false;
};

struct Controls {
    VariantSwitches switches;
    RecordingControls recording;
    RecallControls recall;
    LimitControls limits;
    std::string USBtxt = "6001", USBtxt1 = "6001";  // hidden diagnostic labels
    std::string Caption;                            // window title, set by FormCreate
};

} // namespace valdrin
