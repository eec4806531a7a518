// The shared state block: every variable that outlives one event, with its start
// value. Start-up (FormCreate) sets the family values; nothing else resets it.
#pragma once

#include <cstdint>
#include <string>

#include "chart/ChartModel.h"
#include "chart/DialModel.h"
#include "record/RecallStamp.h"
#include "record/Recording.h"

namespace valdrin {

struct SharedState {
    // Frame assembly.
    std::string FrameIndexChars;  // serial: high-nibble characters since the last frame end
    std::string FrameDataChars;   // serial: low-nibble characters of the same bytes
    std::string LastFrame;        // the last complete frame: the decoders' only input
    std::string UsbFrameChars;    // USB: two hex characters per meter byte
    bool UsbFrameReady = false;
    int32_t UsbIdleReports = 0;  // idle reports since the last with meter bytes; stops at its top
    int32_t WatchdogTicks = 0;

    // The Reading.
    std::string ReadingValue, ReadingMode, ReadingUnit, ReadingRange;
    float ReadingNumber = 0;

    // Limits and extremes, in display counts.
    float UpperLimit = 0, LowerLimit = 0, RunningMax = 0, RunningMin = 0;
    std::string MaxValueText, MinValueText;
    std::string PrevUnit;
    int32_t PrevPointIndex = 0;

    // Count family.
    std::string CountFamily = "4";
    int32_t FullScale = 40000, DialCentre = 400, BarFull = 40, DialTicks = 80;
    bool FrequencyMode = false;

    // Recording (its rules live with the reading table).
    RecordingState recording;

    // Time stamp (recall mode).
    StampState stamp;

    // Dial needle and chart.
    DialModel dial;
    ChartModel chart;
};

} // namespace valdrin
