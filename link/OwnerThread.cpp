#include "link/OwnerThread.h"

namespace valdrin {

void OwnerThread::invokeAndWait(std::function<void()> job)
{
    Job entry{std::move(job)};
    {
        std::unique_lock lock(mutex_);
        queue_.push_back(&entry);
        ownerWake_.notify_all();
    }
    if (wakeup_)
        wakeup_();
    std::unique_lock lock(mutex_);
    callerWake_.wait(lock, [&] { return entry.done; });
}

bool OwnerThread::runOne(std::unique_lock<std::mutex>& lock)
{
    if (queue_.empty())
        return false;
    Job* job = queue_.front();
    queue_.pop_front();
    lock.unlock();
    // The caller waits, so its job stays valid; a throwing handler must not leave
    // it blocked for ever.
    try {
        job->run();
    } catch (...) {
        lock.lock();
        job->done = true;
        callerWake_.notify_all();
        throw;
    }
    lock.lock();
    job->done = true;
    callerWake_.notify_all();
    return true;
}

void OwnerThread::processPending()
{
    std::unique_lock lock(mutex_);
    while (runOne(lock)) {
    }
}

void OwnerThread::waitAndProcess(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    const unsigned seen = notifications_;
    ownerWake_.wait_for(lock, timeout, [&] { return !queue_.empty() || notifications_ != seen; });
    while (runOne(lock)) {
    }
}

void OwnerThread::processUntil(const std::function<bool()>& done)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        while (runOne(lock)) {
        }
        const unsigned seen = notifications_;
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished && queue_.empty())
            return;
        // A bounded wait, so a missed wake-up costs a moment, never a hang.
        ownerWake_.wait_for(lock, std::chrono::milliseconds(50),
                            [&] { return !queue_.empty() || notifications_ != seen; });
    }
}

void OwnerThread::notify()
{
    std::unique_lock lock(mutex_);
    ++notifications_;
    ownerWake_.notify_all();
}

} // namespace valdrin
