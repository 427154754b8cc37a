#include "OfficeLauncher.h"

#include "adapters/posix/SessionSpawn.h"
#include "platform/RuntimeError.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/wait.h>
#include <thread>

namespace slidevane {

struct OfficeLauncher::Outcome {
    std::mutex mutex;
    std::optional<int> status;
};

OfficeLauncher::OfficeLauncher(const std::vector<std::string>& command, const std::string& pipeName)
    : outcome_(std::make_shared<Outcome>()) {
    if (command.empty()) {
        throw RuntimeError::Automation("CreateObject", "no office launcher is configured");
    }
    std::vector<std::string> arguments = command;
    arguments.push_back("--accept=pipe,name=" + pipeName + ";urp;");
    arguments.push_back("--nologo");
    arguments.push_back("--nodefault");
    arguments.push_back("--norestore");
    // The office is the user's own: signals this program ignores or blocks for itself are the
    // office's to handle as it always does. It may outlive this program; it must not hold on to
    // this program's terminal or to the pipes of whoever started it.
    int error = 0;
    pid_ = SessionSpawn::Start(arguments, {}, error);
    if (error != 0) {
        throw RuntimeError::Automation("CreateObject", "cannot start " + command.front() + ": " +
                                                           std::strerror(error));
    }

    // The launcher of an office it started itself lives as long as that office, which may be
    // longer than this program; waiting on this pid alone leaves every other child to its owner.
    std::thread([pid = pid_, outcome = outcome_] {
        int status = 0;
        pid_t result;
        do {
            result = waitpid(pid, &status, 0);
        } while (result < 0 && errno == EINTR);
        std::lock_guard lock(outcome->mutex);
        if (result < 0) {
            outcome->status = 255;
        } else if (WIFEXITED(status)) {
            outcome->status = WEXITSTATUS(status);
        } else {
            outcome->status = 128 + WTERMSIG(status);
        }
    }).detach();
}

std::optional<int> OfficeLauncher::ExitStatus() const {
    std::lock_guard lock(outcome_->mutex);
    return outcome_->status;
}

} // namespace slidevane
