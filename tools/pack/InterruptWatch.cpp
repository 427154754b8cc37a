#include "InterruptWatch.h"

#include <csignal>
#include <pthread.h>

namespace slidevane {

namespace {

// Sent by the destructor to end the watching thread; never delivered from outside while the
// watch runs, because the watch does not wait for it.
constexpr int Quit = SIGUSR2;

sigset_t Watched(bool withQuit) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    if (withQuit) {
        sigaddset(&set, Quit);
    }
    return set;
}

} // namespace

InterruptWatch::InterruptWatch() {
    sigset_t const blocked = Watched(true);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    watcher_ = std::thread([this] { Watch(); });
}

InterruptWatch::~InterruptWatch() {
    pthread_kill(watcher_.native_handle(), Quit);
    watcher_.join();
}

void InterruptWatch::OnInterrupt(std::function<void()> action) {
    std::lock_guard lock(mutex_);
    action_ = std::move(action);
}

void InterruptWatch::Watch() {
    sigset_t const waited = Watched(true);
    for (;;) {
        int received = 0;
        if (sigwait(&waited, &received) != 0 || received == Quit) {
            return;
        }
        int expected = 0;
        signal_.compare_exchange_strong(expected, received);
        std::lock_guard lock(mutex_);
        if (action_) {
            action_();
        }
    }
}

} // namespace slidevane
