// What the window showed last of the core's state: the screen-paced mirror compares
// the core with it and touches only the widgets whose part changed. Every part is
// small and fixed in size; the table and the chart are followed by their views.
#pragma once

#include "link/ConnectionControl.h"
#include "meter/Controls.h"
#include "meter/LcdState.h"

#include <cstddef>
#include <string>
#include <vector>

namespace valdrin {

struct ConnectionSnapshot {
    bool COMCon = false, USBCon = false, ReadBtn = false;
    bool BTConVisible = false, BtDisconVisible = false;
    std::array<bool, 4> BtCOMVisible{};
    bool BtCOMEnabled = false;
    std::string BtCOMHint;
    bool ComSetup1Enabled = false;
    std::array<bool, 4> COMChecked{};
    bool START1Checked = false, START1Enabled = false, STOP1Checked = false, STOP1Enabled = false;
    std::vector<std::string> devices;
    int DevListBoxSelected = -1;

    static ConnectionSnapshot of(const ConnectionControls& c);
    bool operator==(const ConnectionSnapshot&) const = default;
};

struct ShownState {
    bool valid = false;  // false until the first mirror: everything is shown then
    LcdState lcd;
    RecordingControls recording;
    RecallControls recall;
    LimitControls limits;
    std::string USBtxt, USBtxt1, caption;
    ConnectionSnapshot connection;
    unsigned long long historyAdded = 0, memoAdded = 0;
    std::size_t historySize = 0, memoSize = 0;
    std::size_t rows = 0;
};

bool sameLcd(const LcdState& a, const LcdState& b);
bool sameRecording(const RecordingControls& a, const RecordingControls& b);
bool sameRecall(const RecallControls& a, const RecallControls& b);
bool sameLimits(const LimitControls& a, const LimitControls& b);

} // namespace valdrin
