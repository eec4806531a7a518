// A fresh core with recording edges, and ways to feed it frames as a meter sends them.
#pragma once

#include <string_view>
#include <vector>

#include "meter/FcommCore.h"
#include "meter/FrameEncoding.h"
#include "tests/support/RecordingEdges.h"

namespace valdrin::test {

struct CoreFixture {
    RecordingMessages messages;
    CountingBeeper beeper;
    FixedClock clock;
    FcommCore core;

    explicit CoreFixture(CoreOptions options = {}) : core(messages, beeper, clock, std::move(options)) {}

    void serial(const Bytes& bytes) { core.OnReceiveData(bytes.data(), static_cast<int32_t>(bytes.size())); }

    // The line feed that a previous frame would have left in the accumulator.
    Bytes leadingLineFeed() const { return core.S.FrameDataChars.empty() ? Bytes{0x0A} : Bytes{}; }

    // Zentor or Brevast frames after a line feed, so that the first one is accepted too.
    void zentor(std::initializer_list<std::string_view> frames) { lineFrames(frames, &FcommCore::HZentorRData); }
    void brevast(std::initializer_list<std::string_view> frames) { lineFrames(frames, &FcommCore::HBrevastRData); }
    void lineFrames(std::initializer_list<std::string_view> frames, void (FcommCore::*assembler)(const uint8_t*, int32_t))
    {
        Bytes bytes = leadingLineFeed();
        for (std::string_view f : frames) {
            const Bytes b = encodeLineFrame(f);
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        (core.*assembler)(bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    void teskar(std::initializer_list<std::string_view> frames)
    {
        Bytes bytes;
        for (std::string_view f : frames) {
            const Bytes b = encodeTeskarFrame(f);
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        core.HTeskarRData(bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    void usbReport(std::vector<uint8_t> data, bool teskarFamily = false, uint8_t id = 0)
    {
        if (teskarFamily)
            core.UsbTeskarData(id, data.data(), static_cast<uint16_t>(data.size()));
        else
            core.UsbZentorData(id, data.data(), static_cast<uint16_t>(data.size()));
    }

    std::string digits() const
    {
        std::string out;
        for (std::size_t i = 0; i < 5; ++i) {
            const char c = core.Lcd.digitCaptions[i];
            out += c ? c : '_';
        }
        return out;
    }
    bool shown(Lcd e) const { return core.Lcd.shown(e); }
};

} // namespace valdrin::test

namespace valdrin::test {

// A Teskar frame built from what its display shows.
struct TeskarFrame {
    int nibble[15] = {};

    // Segments in the order d c g b e f a, as "0"/"1" characters.
    TeskarFrame& pattern(int k, std::string_view dcgbefa)
    {
        auto on = [&](std::size_t i) { return dcgbefa[i] == '1'; };
        nibble[2 * k + 1] |= (on(0) ? 8 : 0) | (on(1) ? 4 : 0) | (on(2) ? 2 : 0) | (on(3) ? 1 : 0);
        nibble[2 * k] |= (on(4) ? 4 : 0) | (on(5) ? 2 : 0) | (on(6) ? 1 : 0);
        return *this;
    }
    // Digit k (1..4): '0'..'9', 'L', or ' ' for blank.
    TeskarFrame& digit(int k, char d)
    {
        static constexpr std::string_view patterns[] = {"1101111", "0101000", "1011101", "1111001", "0111010",
                                                        "1110011", "1110111", "0101001", "1111111", "1111011"};
        if (d >= '0' && d <= '9')
            return pattern(k, patterns[d - '0']);
        if (d == 'L')
            return pattern(k, "1000110");
        return *this;
    }
    TeskarFrame& digits(std::string_view four)
    {
        for (int k = 1; k <= 4; ++k)
            digit(k, four[static_cast<std::size_t>(k - 1)]);
        return *this;
    }
    TeskarFrame& bit(int byte, int value)
    {
        nibble[byte] |= value;
        return *this;
    }
    std::string nibbles() const
    {
        std::string out;
        for (int i = 1; i <= 14; ++i)
            out += "0123456789ABCDEF"[nibble[i]];
        return out;
    }
};

} // namespace valdrin::test
