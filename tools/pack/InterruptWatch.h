#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

// Turns Ctrl-C, SIGTERM and SIGHUP into an orderly end: the signals are taken by one thread of
// their own, which records the first and runs the action set for it (ending the office, so a
// call waiting on it returns at once); the work checks Interrupted() between its steps and
// unwinds, and everything it made is removed on the way out. Other signals keep their usual
// effect.
//
// Owns: the signal mask of the process, the watching thread and its two descriptors (one
// delivering the signals, one telling it to end). Made first in main, before any other thread
// exists, so that every thread inherits the mask. Throws std::system_error when it cannot
// watch.
namespace slidevane {

class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // The signal that arrived, or 0.
    int Interrupted() const { return signal_.load(); }
    // Runs at once when a signal arrives (on the watching thread); replaces the earlier action.
    void OnInterrupt(std::function<void()> action);

private:
    void Watch();
    void Close();

    std::atomic<int> signal_{0};
    std::mutex mutex_;
    std::function<void()> action_;
    int signals_ = -1;
    int quit_ = -1;
    std::thread watcher_;
};

} // namespace slidevane
