// What the window showed last of the core's state, as the revisions of its parts:
// the mirror compares numbers and touches only the widgets whose part changed. The
// table and the chart are followed by their views.
#pragma once

#include "meter/Controls.h"

#include <cstddef>
#include <cstdint>

namespace valdrin {

// A bounded line list as a view shows it: the view appends what was added since,
// or starts over after a clear.
struct ShownLines {
    unsigned long long added = 0, clears = 0;
};

// Every revision the window shows, in one: equal stamps, nothing to mirror.
struct CoreStamp {
    uint64_t lcd = 0, controls = 0, connection = 0, history = 0, memo = 0;
    uint64_t tableGeneration = 0;
    std::size_t rows = 0;
    uint64_t chart = 0, dialFace = 0, dialNeedle = 0;
    bool operator==(const CoreStamp&) const = default;
};

struct ShownState {
    bool valid = false;  // false until the first mirror: everything is shown then
    CoreStamp stamp;     // of the last mirror
    // The controls as shown: a new revision touches only the groups that differ
    // (a frame changes the hidden diagnostic texts, not the edits).
    Controls controlTexts;
    ShownLines history, memo;
    std::size_t rows = 0;
};

} // namespace valdrin
