// Frame assembly: serial blocks and USB reports become frames in LastFrame, each
// checked by its family's framing rule before its decoder runs.
#include "meter/FcommCore.h"
#include "meter/FrameChars.h"

#include <limits>

namespace valdrin {

namespace {
// Accumulators keep at most this many characters: the framing tests and the decoders
// look only at the first few, and a stream that never ends a frame must not grow
// them without limit. Longer accumulations still fail the Teskar index test.
constexpr std::size_t kMaxAccumulation = 64;
constexpr std::string_view kTeskarIndex = "123456789ABCDE";

void appendBounded(std::string& text, char c)
{
    if (text.size() < kMaxAccumulation)
        text += c;
}
} // namespace

void FcommCore::decodeFrame(void (FcommCore::*decoder)())
{
    report_ = FrameReport{};
    ++framesDecoded;
    {
        // The error is told once the edit is closed: a message box runs the window's
        // events, and its mirror must not see the revision of a half-made edit.
        const LcdEdit edit(Lcd);
        try {
            (this->*decoder)();
        } catch (const std::exception& e) {
            // The frame ends here; what it set so far stays, the rest is skipped.
            ++frameErrors;
            report_.error = e.what();
        }
    }
    if (report_.error)
        messages_.applicationError(*report_.error);
    if (observer)
        observer->frameDecoded(*this, report_);
}

void FcommCore::OnReceiveData(const uint8_t* data, int32_t size)
{
    switch (serialAssembler) {
    case SerialAssembler::Zentor: HZentorRData(data, size); break;
    case SerialAssembler::Teskar: HTeskarRData(data, size); break;
    case SerialAssembler::Brevast: HBrevastRData(data, size); break;
    case SerialAssembler::None: break;
    }
}

void FcommCore::HTeskarRData(const uint8_t* data, int32_t size)
{
    for (int32_t i = 0; i < size; ++i) {
        const uint8_t byte = data[i];
        appendBounded(S.FrameDataChars, kHexDigits[byte & 0xF]);
        appendBounded(S.FrameIndexChars, kHexDigits[byte >> 4]);
        if ((byte >> 4) == 0xE) {
            S.LastFrame = S.FrameDataChars;
            if (S.FrameIndexChars == kTeskarIndex)
                decodeFrame(&FcommCore::LcdDisplayTeskar);
            S.FrameIndexChars.clear();
            S.FrameDataChars.clear();
        }
    }
}

void FcommCore::HZentorRData(const uint8_t* data, int32_t size) { assembleLine(data, size, true); }
void FcommCore::HBrevastRData(const uint8_t* data, int32_t size) { assembleLine(data, size, false); }

// Zentor and Brevast: the carriage return ends a frame, so the accumulation of a
// good frame begins with the previous frame's line feed.
void FcommCore::assembleLine(const uint8_t* data, int32_t size, bool zentor)
{
    for (int32_t i = 0; i < size; ++i) {
        const uint8_t byte = data[i];
        appendBounded(S.FrameDataChars, kHexDigits[byte & 0xF]);
        appendBounded(S.FrameIndexChars, kHexDigits[byte >> 4]);
        if (byte != 0x0D)
            continue;
        const std::string& chars = S.FrameDataChars;
        const bool framed = chars.size() >= 11 && chars[0] == 'A' && chars[10] == 'D';
        if (zentor) {
            S.LastFrame.assign(chars, 1, 9);
            S.LastFrame += "DA";
            setControlText(C.USBtxt, S.LastFrame);
            if (framed)
                decodeFrame(&FcommCore::LcdDisplayZentor);
        } else {
            S.LastFrame = chars;
            if (framed)
                decodeFrame(&FcommCore::LcdDisplayBrevast);
        }
        S.FrameIndexChars.clear();
        S.FrameDataChars.clear();
    }
}

void FcommCore::UsbZentorData(uint8_t reportId, const uint8_t* data, uint16_t size)
{
    unpackUsb(reportId, data, size, true);
}

void FcommCore::UsbTeskarData(uint8_t reportId, const uint8_t* data, uint16_t size)
{
    unpackUsb(reportId, data, size, false);
}

void FcommCore::unpackUsb(uint8_t reportId, const uint8_t* data, uint16_t size, bool zentor)
{
    // The report log line: "R %.2x  " then "%.2x " per data byte, uppercase.
    std::string line = "R ";
    line += kHexDigits[reportId >> 4];
    line += kHexDigits[reportId & 0xF];
    line += "  ";
    for (uint16_t i = 0; i < size; ++i) {
        line += kHexDigits[data[i] >> 4];
        line += kHexDigits[data[i] & 0xF];
        line += ' ';
    }

    // The count character: the low nibble of data byte 0. The count stops at its top:
    // without a watchdog to reset it (the companion) a cable idles for ever.
    if (size > 0 && S.UsbIdleReports < std::numeric_limits<int32_t>::max())
        ++S.UsbIdleReports;
    const char count = size > 0 ? kHexDigits[data[0] & 0xF] : '\0';

    // A report that carries meter bytes.
    if (count >= '1' && count <= '9') {
        S.UsbIdleReports = 0;
        S.UsbFrameReady = true;
        const int n = count - '0';
        for (int k = 1; k <= n && k < size; ++k) {
            // Only the first frame's bytes are ever taken; a cable that never sends an
            // idle report must not grow the accumulator.
            if (S.UsbFrameChars.size() + 2 > kMaxAccumulation)
                break;
            S.UsbFrameChars += kHexDigits[data[k] >> 4];
            S.UsbFrameChars += kHexDigits[data[k] & 0xF];
        }
        HistoryListBox.add(std::move(line));
        return;
    }

    // An idle report closes the frame held so far.
    if (S.UsbFrameReady) {
        const std::size_t length = zentor ? 11 : 14;
        std::string index;
        S.LastFrame.clear();
        for (std::size_t i = 0; i < length && 2 * i + 1 < S.UsbFrameChars.size(); ++i) {
            index += S.UsbFrameChars[2 * i];
            S.LastFrame += S.UsbFrameChars[2 * i + 1];
        }
        S.UsbFrameChars.clear();
        S.UsbFrameReady = false;  // before decoding: a failing frame leaves the link clean
        if (zentor) {
            setControlText(C.USBtxt, index);
            setControlText(C.USBtxt1, S.LastFrame.size() >= 10 ? S.LastFrame.substr(9, 2) : std::string());
            if (C.USBtxt1 == "DA")
                decodeFrame(&FcommCore::LcdDisplayZentor);
        } else {
            setControlText(C.USBtxt, S.LastFrame);
            if (index == kTeskarIndex)
                decodeFrame(&FcommCore::LcdDisplayTeskar);
        }
    }
    S.UsbFrameReady = false;
}

} // namespace valdrin
