// The owner's thread (the window's GUI thread, the companion's loop) as other
// threads see it: a queue of calls that the owner runs, each caller blocking until
// its call has returned. HID readers hand every report over this way, so the
// handlers need no locks.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace valdrin {

class OwnerThread {
public:
    // Called on the posting thread after a call was queued, e.g. to post an event
    // that makes the GUI loop run processPending(). Set before any reader runs.
    void setWakeup(std::function<void()> wakeup) { wakeup_ = std::move(wakeup); }

    // From any other thread: queue job for the owner and block until it has run.
    void invokeAndWait(std::function<void()> job);

    // On the owner's thread: run every queued call, the ones queued meanwhile too.
    void processPending();
    // On the owner's thread: wait at most timeout for a call (or a notify), then run
    // what is queued. The companion's loop sleeps here.
    void waitAndProcess(std::chrono::milliseconds timeout);
    // On the owner's thread: keep running queued calls until done() holds. done is
    // tested after every notify(), so a thread that makes it true must notify.
    void processUntil(const std::function<bool()>& done);

    // Wakes a waiting owner without queuing a call (a thread that has finished).
    void notify();

private:
    struct Job {
        std::function<void()> run;
        bool done = false;
    };
    bool runOne(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable ownerWake_;
    std::condition_variable callerWake_;
    std::deque<Job*> queue_;
    unsigned notifications_ = 0;
    std::function<void()> wakeup_;
};

} // namespace valdrin
