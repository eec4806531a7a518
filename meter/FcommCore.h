// The window's logic without widgets: owns the shared state block, the LCD state,
// the reading table, the chart and dial models and the plain state of every control
// the handlers read or write. The window forwards each widget event to the handler
// of the same name and mirrors the state back; the companion drives it headless.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "meter/BoundedLines.h"
#include "meter/Controls.h"
#include "base/Edges.h"
#include "meter/LcdState.h"
#include "meter/PostDecode.h"
#include "meter/SharedState.h"
#include "record/ReadingTable.h"

namespace valdrin {

// The serial receive handler that start-up attaches.
enum class SerialAssembler : uint8_t { None, Zentor, Teskar, Brevast };

// What one decoder call did, for observers such as the companion's JSON lines.
struct FrameReport {
    std::optional<int32_t> point;  // point index; empty for "none" or when not reached
    bool trace = false;            // the frame started a new trace
    std::optional<int32_t> dial;   // position passed to KDrun
    std::optional<int32_t> chart;  // value added to both series
    bool recorded = false;
    std::size_t row = 0;           // index of the appended row when recorded
    std::optional<std::string> error;  // the conversion error that ended the frame
};

class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    virtual void frameDecoded(const class FcommCore& core, const FrameReport& report) = 0;
};

struct CoreOptions {
    std::string LocaleDecimal = ".";
    std::string LongTimeFormat = "%H:%M:%S";
    std::string CountFamily = "4";  // a constant of the build
    VariantSwitches switches;
};

class FcommCore {
public:
    FcommCore(Messages& messages, Beeper& beeper, Clock& clock, CoreOptions options = {});
    FcommCore(const FcommCore&) = delete;
    FcommCore& operator=(const FcommCore&) = delete;

    SharedState S;
    LcdState Lcd;
    Controls C;
    ReadingTable cds1;
    BoundedLines HistoryListBox{10000};  // USB report and device event log
    BoundedLines Memo1{10000};           // frame log of the Brevast decoder
    std::string LocaleDecimal;
    std::string LongTimeFormat;
    SerialAssembler serialAssembler = SerialAssembler::None;
    FrameObserver* observer = nullptr;

    // Counts since start-up: decoder calls and those that ended in an error.
    uint64_t framesDecoded = 0;
    uint64_t frameErrors = 0;
    const FrameReport& lastReport() const { return report_; }

    // Advances after every handler that may have written C, now and then when it
    // wrote nothing new, but never stays when C changed: the window compares it with
    // the one it last showed. controlsEdited() counts a change made outside the
    // handlers (the window's own edits need none: their widgets show them already).
    uint64_t controlsRevision() const { return controlsRevision_; }
    void controlsEdited() { ++controlsRevision_; }

    // --- Edges where events enter the core; each reports a conversion error itself.
    void OnReceiveData(const uint8_t* data, int32_t size);  // the attached serial assembler
    void HZentorRData(const uint8_t* data, int32_t size);
    void HTeskarRData(const uint8_t* data, int32_t size);
    void HBrevastRData(const uint8_t* data, int32_t size);
    void UsbZentorData(uint8_t reportId, const uint8_t* data, uint16_t size);
    void UsbTeskarData(uint8_t reportId, const uint8_t* data, uint16_t size);

    // --- Decoders: read LastFrame, set the LCD state and the Reading, run the block.
    void LcdDisplayZentor();
    void LcdDisplayTeskar();
    void LcdDisplayBrevast();

    // --- Dial and chart.
    void KDsetup();
    void KDrun(int32_t position);
    void ShowSeries(int index);
    void BtNewClick();
    void btFillClick();
    void FillClick();
    void ComboBox1Change(int index);
    void BtFirstClick();
    void BTPreviousClick();
    void BtNextClick();
    void BTlastClick();
    void MaxrecordExit(const std::string& text);  // the edit's new text
    void TbFdClick(int windowOuterWidth, int windowOuterHeight);

    // --- Recording.
    void INDataToTable();
    void TrecordTimer();
    void RecordSITimeChange();
    static bool RecordSITimeKeyPress(char key) { return recordKeyAccepted(key); }
    void RecordNewClick();
    void N10001Click();
    void N50001Click();
    void N100001Click();
    void N500001Click();
    void N1000001Click();
    void limitessClick();

    // --- Limits.
    void SetmaxExit();
    void SetMinExit();
    static bool SetmaxKeyPress(char key);

    // --- Recall.
    void RecallCheckClick();
    void RecallCheckExit();
    void TimeHKeyUp();

    // --- Link watchdog, every 100 ms. When the USB cable has sent only idle reports
    // for too long, usbIdleLimit runs (release "USB Connect", detach the reader).
    void ConTimerTimer();
    std::function<void()> usbIdleLimit;

    // Runs a handler at the edge: a conversion error goes to the application's error
    // handler and the program goes on.
    template <class F>
    void guarded(F&& handler)
    {
        try {
            handler();
        } catch (const std::exception& e) {
            messages_.applicationError(e.what());
        }
    }

    Messages& messages() { return messages_; }
    Clock& clock() { return clock_; }

private:
    static bool recordKeyAccepted(char key);
    void FormCreate(const CoreOptions& options);
    void setFamily(const std::string& family);
    void decodeFrame(void (FcommCore::*decoder)());
    void assembleLine(const uint8_t* data, int32_t size, bool zentor);
    void unpackUsb(uint8_t reportId, const uint8_t* data, uint16_t size, bool zentor);
    void connectionStep();
    bool overloadNumber(DecodedDisplay& display, bool overloaded, int32_t magnitude);
    void postDecode(const DecodedDisplay& display);
    int32_t digitsValue(const DecodedDisplay& display, std::size_t from, std::size_t count, bool withSign) const;
    // A text of C that frames write: 20 times a second, so only a new text counts.
    void setControlText(std::string& text, const std::string& value);

    Messages& messages_;
    Beeper& beeper_;
    Clock& clock_;
    FrameReport report_;
    uint64_t controlsRevision_ = 0;
};

} // namespace valdrin
