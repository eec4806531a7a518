// The window's edges of the core: modal message boxes (and the application's error
// handler, which never stacks its boxes), the system beep, the toolkit's file
// dialogs, and the serial port's poll timer on the GUI loop.
#pragma once

#include "base/Edges.h"
#include "link/PollTimer.h"

#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <string>

class QWidget;

namespace valdrin {

class WindowMessages final : public Messages {
public:
    // Boxes are centred on parent once it is set (the window sets itself).
    void setParent(QWidget* parent) { parent_ = parent; }

    void information(const std::string& text, const std::string& caption = "Information") override;
    void error(const std::string& text, const std::string& caption = "Error") override;
    bool question(const std::string& text) override;
    // One box at a time, opened as soon as the event loop runs: errors raised while
    // it is waiting or open (a bad stream keeps sending frames through the box's own
    // event loop) are counted instead of shown.
    void applicationError(const std::string& text) override;

    bool errorBoxOpen() const { return errorBoxOpen_; }
    uint64_t errorsShown() const { return errorsShown_; }
    uint64_t errorsCounted() const { return errorsCounted_; }

private:
    QWidget* parent_ = nullptr;
    QObject anchor_;  // a waiting box goes with this object
    bool errorBoxOpen_ = false;
    uint64_t errorsShown_ = 0;
    uint64_t errorsCounted_ = 0;
};

class WindowBeeper final : public Beeper {
public:
    void beep() override;
};

// "Text(*.txt)|*.txt|All(*.*)|*.*" as Qt name filters: "Text (*.txt)", "All (*)".
QStringList qtNameFilters(const std::string& filter);

class WindowFileDialogs final : public FileDialogs {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    std::optional<std::string> saveFileName(const FileDialogOptions& options) override;
    std::optional<std::string> openFileName(const FileDialogOptions& options) override;

private:
    std::optional<std::string> ask(const FileDialogOptions& options, bool save);
    QWidget* parent_ = nullptr;
};

// The serial port's poll on a timer of the GUI thread.
class WindowPollTimer final : public PollTimer {
public:
    void start(unsigned periodMs, std::function<void()> tick) override;
    void stop() override { timer_.stop(); }
    bool running() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }
    // Runs after every tick: the window shows what the poll read.
    std::function<void()> afterTick;

private:
    QTimer timer_;
    std::function<void()> tick_;
};

} // namespace valdrin
