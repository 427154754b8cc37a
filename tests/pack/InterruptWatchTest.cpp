// The watch that turns Ctrl-C, SIGTERM and SIGHUP into an orderly end, in a process of its own:
// whatever other signal arrives first, these still end the run.
#include "InterruptWatch.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace slidevane::test {
namespace {

using namespace std::chrono_literals;

// Whether `signal` is waiting for the process `pid` to take it.
bool Pending(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("ShdPnd:", 0) == 0) {
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
        }
    }
    return false;
}

// Waits up to `limit` for the child `pid` to end, or only while `still` holds; true when it
// ended, with its wait status in `status`.
bool Ended(
    pid_t pid, int& status, std::chrono::seconds limit,
    const std::function<bool()>& still = [] { return true; }) {
    auto const deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline && still()) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

TEST(InterruptWatch, AnotherSignalFromOutsideNeverLeavesTheRunDeafToAnInterruption) {
    for (int const stop : {SIGINT, SIGTERM, SIGHUP}) {
        for (int const first : {SIGUSR2, SIGUSR1, SIGWINCH}) {
            int ready[2];
            ASSERT_EQ(pipe(ready), 0);
            pid_t const pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                // The run: works until the watch says it was interrupted, then ends with 7.
                std::signal(SIGUSR1, SIG_IGN);
                InterruptWatch watch;
                (void)!write(ready[1], "r", 1);
                while (watch.Interrupted() == 0) {
                    std::this_thread::sleep_for(5ms);
                }
                _exit(watch.Interrupted() == stop ? 7 : 8);
            }
            close(ready[1]);
            char byte = 0;
            ASSERT_EQ(read(ready[0], &byte, 1), 1);
            close(ready[0]);
            SCOPED_TRACE(std::string(strsignal(first)) + ", then " + strsignal(stop));
            kill(pid, first);
            // Taken, or the run ended by it, before the interruption is sent, so that the two
            // never arrive together.
            int status = 0;
            bool ended = Ended(pid, status, 10s, [&] { return Pending(pid, first); });
            if (!ended) {
                kill(pid, stop);
                ended = Ended(pid, status, 10s);
            }
            if (!ended) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
            }
            ASSERT_TRUE(ended) << "the run did not end";
            if (WIFSIGNALED(status)) {
                EXPECT_EQ(WTERMSIG(status), first) << "only the first signal's own action ends it";
            } else {
                EXPECT_EQ(WEXITSTATUS(status), 7) << "the watch saw another signal";
            }
        }
    }
}

} // namespace
} // namespace slidevane::test
