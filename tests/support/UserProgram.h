#pragma once

#include "UserEnvironment.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// A program started by a test the way a desktop session starts it: with a UserEnvironment and
// nothing else of the test process, default signal dispositions and an empty signal mask (the
// test process may ignore or block signals for itself), standard input from /dev/null, and a
// process group of its own. Its standard output and error go to files, which a test may read
// while it runs. This is the tests' one way to start a process.
//
// Owns: the process until it has ended and been reaped (a program still running when the object
// ends is killed with its group), and the folder that holds its output. Processes the program
// started in sessions or groups of their own are not its own.
namespace slidevane::test {

class UserProgram {
public:
    struct Options {
        std::filesystem::path workingDirectory; // empty: this process's
        // Where "stdout" and "stderr" go and stay; empty: a folder of its own, removed with it.
        std::filesystem::path outputFolder;
    };

    struct Outcome {
        bool exited = false; // false: ended by a signal
        int code = -1;       // the exit status when it exited
        int signal = 0;      // the signal that ended it otherwise
        bool killed = false; // ended by Finish() when its time was up
        std::string Describe() const;
        bool Succeeded() const { return exited && code == 0; }
    };

    // Starts `commandLine`; a program named without a slash is looked up on the environment's
    // PATH. Throws std::runtime_error when it cannot be started.
    UserProgram(std::vector<std::string> commandLine, const UserEnvironment& environment,
                const Options& options = {});
    ~UserProgram();
    UserProgram(const UserProgram&) = delete;
    UserProgram& operator=(const UserProgram&) = delete;

    pid_t Pid() const { return pid_; }
    // Whether it still runs; reaps it once it has ended.
    bool Running();
    // Waits up to `timeout` for its end; nullopt while it still runs.
    std::optional<Outcome> Wait(std::chrono::milliseconds timeout);
    // Waits up to `timeout`, then kills it; the outcome either way.
    Outcome Finish(std::chrono::milliseconds timeout);
    // Sends `signal` to the program alone.
    void Signal(int signal) const;

    std::string Output() const;
    std::string Errors() const;

    // Runs `commandLine` to its end (killed after `timeout`): the outcome, with what it printed.
    struct Result {
        Outcome outcome;
        std::string output;
        std::string errors;
    };
    static Result Run(std::vector<std::string> commandLine, const UserEnvironment& environment,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60),
                      const Options& options = {});

private:
    std::filesystem::path folder_;
    bool ownsFolder_ = false;
    pid_t pid_ = -1;
    std::optional<Outcome> outcome_;
};

} // namespace slidevane::test
