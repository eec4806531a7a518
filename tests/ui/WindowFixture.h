// The window FCOMM on the offscreen platform with recording edges, no HID device
// (or the HID system a test passes),
// and a pseudo-terminal standing for COM1 (COM2 to COM4 name devices that do not
// exist), so that a test can connect the serial link and write as the meter.
#pragma once

#include "link/HidSystem.h"
#include "meter/FrameEncoding.h"
#include "tests/support/Pty.h"
#include "tests/support/RecordingEdges.h"
#include "ui/BrevastF.h"

#include <QApplication>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace valdrin::test {

class NoHidSystem final : public HidSystem {
public:
    bool available() const override { return true; }
    std::vector<HidInterface> enumerate() override { return {}; }
    std::unique_ptr<HidHandle> open(const std::string&, HidAccess, uint32_t& error) override
    {
        error = ENODEV;
        return nullptr;
    }
    std::string errorText(uint32_t) const override { return "no device"; }
    int notificationFd() const override { return -1; }
    bool takeDeviceChanges() override { return false; }
};

struct WindowFixture {
    Pty com1;
    RecordingMessages messages;
    CountingBeeper beeper;
    FixedClock clock;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<TFCOMM> window;
    int terminated = 0;

    explicit WindowFixture(Messages* edge = nullptr, std::shared_ptr<HidSystem> hid = nullptr)
    {
        ::setenv("VALDRIN_COM1", com1.slavePath().c_str(), 1);
        for (int n = 2; n <= 4; ++n)
            ::setenv(("VALDRIN_COM" + std::to_string(n)).c_str(), ("/nonexistent/meter" + std::to_string(n)).c_str(), 1);
        window = std::make_unique<TFCOMM>(
            WindowEdgeSet{edge ? *edge : messages, beeper, clock, dialogs, hid ? hid : std::make_shared<NoHidSystem>(), {}});
        window->terminate = [this] { ++terminated; };
    }

    FcommCore& core() { return window->core(); }

    template <class W = QWidget>
    W* find(const char* name) const
    {
        return window->findChild<W*>(QString::fromLatin1(name));
    }

    // Bytes as the serial port hands them to its receive handler, then the mirror.
    void receive(const Bytes& bytes)
    {
        TSerialPortDriver& port = window->COMM2();
        port.OnReceiveData()(port, bytes.data(), static_cast<int32_t>(bytes.size()));
        window->mirror();
    }
    // Zentor frames after the line feed that a previous frame would have left.
    void zentor(std::initializer_list<const char*> frames)
    {
        Bytes bytes = core().S.FrameDataChars.empty() ? Bytes{0x0A} : Bytes{};
        for (const char* f : frames) {
            const Bytes b = encodeLineFrame(f);
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        receive(bytes);
    }

    void click(const char* name)
    {
        QWidget* w = find(name);
        if (!w)
            throw std::runtime_error(std::string("no control ") + name);
        QTest::mouseClick(w, Qt::LeftButton);
    }
};

} // namespace valdrin::test
