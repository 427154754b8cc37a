#pragma once

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Runs the office's launcher with an accept option for a pipe, so that an office, the one just
// started or one the user already runs, listens there. The launcher gets its own session: the
// office it starts belongs to the user's desktop, not to this program.
//
// Owns: the launcher process until it ends; a small thread reaps it and records its exit
// status. It never signals or stops the launcher or the office.
namespace slidevane {

class OfficeLauncher {
public:
    // Starts `command` (program looked up on PATH, then its arguments) followed by
    // --accept=pipe,name=<pipeName>;urp; and the options that keep start-up quiet.
    // Throws RuntimeError when the program cannot be started at all.
    OfficeLauncher(const std::vector<std::string>& command, const std::string& pipeName);

    pid_t Pid() const { return pid_; }
    // The launcher's exit status once it has ended (128 + signal when killed).
    std::optional<int> ExitStatus() const;

private:
    struct Outcome;

    pid_t pid_ = -1;
    std::shared_ptr<Outcome> outcome_;
};

} // namespace slidevane
