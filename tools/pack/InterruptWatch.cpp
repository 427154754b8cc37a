#include "InterruptWatch.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <system_error>
#include <unistd.h>

namespace slidevane {

namespace {

sigset_t Watched() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

InterruptWatch::InterruptWatch() {
    sigset_t const watched = Watched();
    pthread_sigmask(SIG_BLOCK, &watched, nullptr);
    // The watch ends when told through a descriptor of its own: no signal that anyone else
    // could send ends it, so every signal it watches keeps working for the whole run.
    signals_ = signalfd(-1, &watched, SFD_CLOEXEC);
    quit_ = eventfd(0, EFD_CLOEXEC);
    if (signals_ < 0 || quit_ < 0) {
        std::system_error const failure(errno, std::generic_category(),
                                        "cannot watch for interruptions");
        Close();
        throw failure;
    }
    watcher_ = std::thread([this] { Watch(); });
}

InterruptWatch::~InterruptWatch() {
    std::uint64_t const one = 1;
    while (write(quit_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    watcher_.join();
    Close();
}

void InterruptWatch::Close() {
    for (int const fd : {signals_, quit_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

void InterruptWatch::OnInterrupt(std::function<void()> action) {
    std::lock_guard lock(mutex_);
    action_ = std::move(action);
}

void InterruptWatch::Watch() {
    pollfd waited[2] = {{quit_, POLLIN, 0}, {signals_, POLLIN, 0}};
    for (;;) {
        if (poll(waited, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (waited[0].revents != 0) {
            return;
        }
        signalfd_siginfo received{};
        if (read(signals_, &received, sizeof received) != sizeof received) {
            continue;
        }
        int expected = 0;
        signal_.compare_exchange_strong(expected, static_cast<int>(received.ssi_signo));
        std::lock_guard lock(mutex_);
        if (action_) {
            action_();
        }
    }
}

} // namespace slidevane
