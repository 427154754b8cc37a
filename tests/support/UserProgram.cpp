#include "UserProgram.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace slidevane::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The program as the session's shell would find it.
std::string Located(const std::string& program, const UserEnvironment& environment) {
    if (program.find('/') != std::string::npos) {
        return program;
    }
    std::stringstream path(environment.Get("PATH").value_or("/usr/bin:/bin"));
    for (std::string folder; std::getline(path, folder, ':');) {
        fs::path const candidate = fs::path(folder.empty() ? "." : folder) / program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    throw std::runtime_error("cannot start " + program + ": not found on the session's PATH");
}

UserProgram::Outcome FromStatus(int status) {
    UserProgram::Outcome outcome;
    outcome.exited = WIFEXITED(status);
    outcome.code = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return outcome;
}

} // namespace

std::string UserProgram::Outcome::Describe() const {
    if (killed) {
        return "killed when its time was up";
    }
    if (exited) {
        return "exit status " + std::to_string(code);
    }
    return "signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

UserProgram::UserProgram(std::vector<std::string> commandLine, const UserEnvironment& environment,
                         const Options& options) {
    if (commandLine.empty()) {
        throw std::invalid_argument("no program to start");
    }
    commandLine.front() = Located(commandLine.front(), environment);
    if (options.outputFolder.empty()) {
        std::string pattern = (fs::temp_directory_path() / "slidevane3-run-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a folder for the program's output: " +
                                     std::string(std::strerror(errno)));
        }
        folder_ = pattern;
        ownsFolder_ = true;
    } else {
        folder_ = options.outputFolder;
    }

    std::vector<char*> argv;
    for (std::string& argument : commandLine) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> entries = environment.Entries();
    std::vector<char*> envp;
    for (std::string& entry : entries) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    std::string const out = (folder_ / "stdout").string();
    std::string const err = (folder_ / "stderr").string();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!options.workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&files, options.workingDirectory.c_str());
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETPGROUP);
    int const error = posix_spawn(&pid_, argv[0], &files, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) {
        pid_ = -1;
        if (ownsFolder_) {
            fs::remove_all(folder_);
        }
        throw std::runtime_error("cannot start " + commandLine.front() + ": " +
                                 std::strerror(error));
    }
}

UserProgram::~UserProgram() {
    if (pid_ > 1 && Running()) {
        kill(-pid_, SIGKILL);
        Wait(10s);
    }
    if (ownsFolder_) {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
}

bool UserProgram::Running() {
    if (outcome_ || pid_ <= 1) {
        return false;
    }
    int status = 0;
    pid_t const ended = waitpid(pid_, &status, WNOHANG);
    if (ended == pid_) {
        outcome_ = FromStatus(status);
        return false;
    }
    if (ended < 0 && errno == ECHILD) {
        outcome_ = Outcome{}; // reaped elsewhere: ended, how is not known
        return false;
    }
    return true;
}

std::optional<UserProgram::Outcome> UserProgram::Wait(std::chrono::milliseconds timeout) {
    auto const deadline = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(10ms);
    }
    return outcome_;
}

UserProgram::Outcome UserProgram::Finish(std::chrono::milliseconds timeout) {
    if (std::optional<Outcome> const ended = Wait(timeout)) {
        return *ended;
    }
    if (pid_ > 1) {
        kill(-pid_, SIGKILL);
    }
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    outcome_ = FromStatus(status);
    outcome_->killed = true;
    return *outcome_;
}

void UserProgram::Signal(int signal) const {
    if (pid_ > 1 && !outcome_) {
        kill(pid_, signal);
    }
}

std::string UserProgram::Output() const {
    return ReadFile(folder_ / "stdout");
}

std::string UserProgram::Errors() const {
    return ReadFile(folder_ / "stderr");
}

UserProgram::Result UserProgram::Run(std::vector<std::string> commandLine,
                                     const UserEnvironment& environment,
                                     std::chrono::milliseconds timeout, const Options& options) {
    UserProgram program(std::move(commandLine), environment, options);
    Result result;
    result.outcome = program.Finish(timeout);
    result.output = program.Output();
    result.errors = program.Errors();
    return result;
}

} // namespace slidevane::test
