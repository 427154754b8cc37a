#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A timer that runs an action when an armed deadline passes before it is disarmed. Calls into
// the office are synchronous; the adapter arms this around each of them so that a stopped or
// wedged office ends in an error instead of a program that waits forever.
//
// Owns: one timer thread and the armed action. It does not know what the action does; the
// caller makes the action safe to run from another thread while the call is blocked.
namespace slidevane {

class CallWatchdog {
public:
    CallWatchdog();
    ~CallWatchdog();
    CallWatchdog(const CallWatchdog&) = delete;
    CallWatchdog& operator=(const CallWatchdog&) = delete;

    void Arm(std::chrono::milliseconds timeout, std::function<void()> onExpiry);
    // True when the deadline had already passed and the action ran (or is running).
    bool Disarm();

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> action_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool fired_ = false;
    bool running_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace slidevane
