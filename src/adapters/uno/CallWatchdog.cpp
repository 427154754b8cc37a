#include "CallWatchdog.h"

namespace slidevane {

CallWatchdog::CallWatchdog() : thread_([this] { Run(); }) {}

CallWatchdog::~CallWatchdog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void CallWatchdog::Arm(std::chrono::milliseconds timeout, std::function<void()> onExpiry) {
    {
        std::lock_guard lock(mutex_);
        action_ = std::move(onExpiry);
        deadline_ = std::chrono::steady_clock::now() + timeout;
        armed_ = true;
        fired_ = false;
    }
    wake_.notify_all();
}

bool CallWatchdog::Disarm() {
    std::unique_lock lock(mutex_);
    armed_ = false;
    // An action already running must finish before the caller goes on and perhaps destroys
    // what the action touches.
    wake_.wait(lock, [this] { return !running_; });
    action_ = nullptr;
    return fired_;
}

void CallWatchdog::Run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!armed_) {
            wake_.wait(lock);
            continue;
        }
        if (wake_.wait_until(lock, deadline_) == std::cv_status::no_timeout) {
            continue; // re-armed, disarmed or stopping: look again
        }
        if (!armed_ || std::chrono::steady_clock::now() < deadline_) {
            continue;
        }
        armed_ = false;
        fired_ = true;
        running_ = true;
        std::function<void()> action = action_;
        lock.unlock();
        if (action) {
            action();
        }
        lock.lock();
        running_ = false;
        wake_.notify_all();
    }
}

} // namespace slidevane
