#include "OfficeLauncher.h"

#include "platform/RuntimeError.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

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
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    // The office may outlive this program; it must not hold on to this program's terminal or
    // to the pipes of whoever started it.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The office is the user's own: signals this program ignores or blocks for itself (a closed
    // pipe, say) are the office's to handle as it always does.
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    int const error = posix_spawnp(&pid_, argv[0], &files, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
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
