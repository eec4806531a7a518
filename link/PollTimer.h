// The periodic tick that drives a serial port's poll. The owner supplies it: the
// window with a timer of its event loop, the companion and the tests with a
// LoopPollTimer that their own loop fires.
#pragma once

#include <chrono>
#include <functional>

namespace valdrin {

class PollTimer {
public:
    virtual ~PollTimer() = default;
    // (Re)starts the timer: tick runs on the owner's thread every periodMs milliseconds.
    virtual void start(unsigned periodMs, std::function<void()> tick) = 0;
    virtual void stop() = 0;
};

// A timer for a hand-written loop: runDue() fires the tick when its period has passed.
class LoopPollTimer final : public PollTimer {
public:
    using Clock = std::chrono::steady_clock;

    void start(unsigned periodMs, std::function<void()> tick) override
    {
        period_ = std::chrono::milliseconds(periodMs);
        tick_ = std::move(tick);
        due_ = Clock::now() + period_;
        running_ = true;
        ++starts_;
    }
    void stop() override { running_ = false; }

    bool running() const { return running_; }
    std::chrono::milliseconds period() const { return period_; }
    Clock::time_point due() const { return due_; }
    // How often start() was called: a restart shows here, a second timer cannot hide.
    int starts() const { return starts_; }

    // Fires once now when running, whatever the time.
    void fire()
    {
        if (running_ && tick_)
            tick_();
    }
    // Fires when the period has passed; the next tick is due one period later.
    void runDue(Clock::time_point now = Clock::now())
    {
        if (!running_ || now < due_)
            return;
        due_ = now + period_;
        fire();
    }

private:
    std::chrono::milliseconds period_{0};
    std::function<void()> tick_;
    Clock::time_point due_{};
    bool running_ = false;
    int starts_ = 0;
};

} // namespace valdrin
