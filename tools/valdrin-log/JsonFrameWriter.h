// One JSON object per decoder call, on a stream: the Reading, what the post-decode
// block did, and the panel as the frame left it.
#pragma once

#include <cstdio>
#include <string>

#include "meter/FcommCore.h"

namespace valdrin {

class JsonFrameWriter : public FrameObserver {
public:
    explicit JsonFrameWriter(std::FILE* out) : out_(out) {}
    void frameDecoded(const FcommCore& core, const FrameReport& report) override;
    // The line for one frame, without the line end.
    static std::string line(const FcommCore& core, const FrameReport& report);

private:
    std::FILE* out_;
};

} // namespace valdrin
