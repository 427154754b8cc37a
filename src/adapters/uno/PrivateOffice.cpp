#include "PrivateOffice.h"

#include "OfficePipes.h"
#include "UnoValues.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace slidevane {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A fresh profile is set up by a first run that ends with this status and wants a second.
constexpr int ProfileCreated = 81;

bool Named(const std::string& variable, const std::string& name) {
    return variable.size() > name.size() && variable.compare(0, name.size(), name) == 0 &&
           variable[name.size()] == '=';
}

// Ids 0 and 1 would name this process's own group and every process there is: no office's.
bool OfficeGroupId(pid_t group) {
    return group > 1;
}

bool GroupGone(pid_t group) {
    return !OfficeGroupId(group) || (kill(-group, 0) != 0 && errno == ESRCH);
}

} // namespace

PrivateOffice::PrivateOffice(Settings settings) : settings_(std::move(settings)) {
    settings_.workFolder = fs::absolute(settings_.workFolder);
    fs::create_directories(Profile());
    fs::create_directories(settings_.workFolder / "tmp");
    pid_.store(Spawn());
}

PrivateOffice::~PrivateOffice() {
    Stop();
}

pid_t PrivateOffice::Spawn() const {
    // The office finds its own bootstrap file beside its binary, whatever this process was given.
    // Its temporary files go into its own folder, which goes with it.
    std::vector<std::pair<std::string, std::string>> set = settings_.environment;
    set.emplace_back("TMPDIR", (settings_.workFolder / "tmp").string());
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string const variable = *entry;
        bool replaced = Named(variable, "URE_BOOTSTRAP");
        for (const auto& [name, value] : set) {
            replaced = replaced || Named(variable, name);
        }
        if (!replaced) {
            environment.push_back(variable);
        }
    }
    for (const auto& [name, value] : set) {
        environment.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    std::vector<std::string> arguments = {std::string(SLIDEVANE3_OFFICE_PROGRAM) + "/soffice.bin",
                                          "-env:UserInstallation=" +
                                              uno::FromUno(uno::FileUrl(Profile().string())),
                                          "--headless",
                                          "--invisible",
                                          "--nologo",
                                          "--nodefault",
                                          "--norestore",
                                          "--nolockcheck",
                                          "--accept=pipe,name=" + settings_.pipeName + ";urp;"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    if (access(argv[0], X_OK) != 0) {
        throw std::runtime_error("cannot start the office " + arguments[0] + ": " +
                                 std::strerror(errno));
    }
    int const input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int const output = open(Log().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (input < 0 || output < 0) {
        int const error = errno;
        close(input);
        close(output);
        throw std::runtime_error("cannot open the office's log " + Log().string() + ": " +
                                 std::strerror(error));
    }
    pid_t const parent = getpid();
    bool const endsWithUs = settings_.endsWithThisProcess;
    pid_t const pid = fork();
    if (pid == 0) {
        // Only calls that are safe in the copy of a threaded process, until the exec.
        if (endsWithUs) {
            // Whatever ends this process, even a kill that leaves it no say, ends the office.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) {
                _exit(127);
            }
        }
        // Its own group: a Ctrl-C at the terminal is its owner's to handle, and the office is
        // ended with whatever it starts. Signals its owner blocks or ignores for itself are
        // the office's own business again.
        setpgid(0, 0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        for (int const signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) {
            sigaction(signal, &standard, nullptr);
        }
        dup2(input, 0);
        dup2(output, 1);
        dup2(output, 2);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int const forkError = errno;
    close(input);
    close(output);
    if (pid < 0) {
        throw std::runtime_error("cannot start the office " + arguments[0] + ": " +
                                 std::strerror(forkError));
    }
    // Also here, so that ending the group right away reaches the office.
    setpgid(pid, pid);
    return pid;
}

std::shared_ptr<OfficeConnection> PrivateOffice::Connect(std::chrono::milliseconds deadline,
                                                         std::chrono::milliseconds callDeadline) {
    auto const end = std::chrono::steady_clock::now() + deadline;
    bool restarted = false;
    while (std::chrono::steady_clock::now() < end) {
        pid_t const pid = pid_.load();
        if (pid <= 0) {
            break;
        }
        std::chrono::milliseconds const left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end -
                                                                  std::chrono::steady_clock::now());
        if (auto connection = OfficeConnection::TryConnect(settings_.pipeName,
                                                           std::max(left, 1000ms), callDeadline)) {
            return connection;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            if (!restarted && WIFEXITED(status) && WEXITSTATUS(status) == ProfileCreated) {
                restarted = true;
                pid_.store(Spawn());
                continue;
            }
            pid_.store(-1);
            std::string const how = WIFEXITED(status)
                                        ? "with status " + std::to_string(WEXITSTATUS(status))
                                        : "on signal " + std::to_string(WTERMSIG(status));
            throw std::runtime_error("the office ended " + how + " before it answered" + LogTail());
        }
        std::this_thread::sleep_for(50ms);
    }
    throw std::runtime_error("the office did not answer on its pipe within " +
                             std::to_string(deadline.count() / 1000) + " s" + LogTail());
}

std::string PrivateOffice::LogTail() const {
    std::ifstream in(Log(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "";
    }
    constexpr std::size_t Shown = 800;
    if (text.size() > Shown) {
        text = "..." + text.substr(text.size() - Shown);
    }
    return "; it said:\n" + text;
}

void PrivateOffice::Stop() {
    pid_t const pid = pid_.exchange(-1);
    if (OfficeGroupId(pid) && !StopOffice(settings_.pipeName, pid, true)) {
        RemoveLeftPipes();
    }
}

std::vector<std::string> PrivateOffice::PipeFiles(const std::string& pipeName,
                                                  const fs::path& profile) {
    return {OfficePipes::Named(pipeName),
            OfficePipes::OfProfile(uno::FromUno(uno::FileUrl(profile.string())))};
}

void PrivateOffice::RemoveLeftPipes() const {
    for (const std::string& file : PipeFiles(settings_.pipeName, Profile())) {
        OfficePipes::RemoveIfStale(file);
    }
}

void PrivateOffice::Kill() noexcept {
    if (pid_t const pid = pid_.load(); OfficeGroupId(pid)) {
        kill(-pid, SIGKILL);
    }
}

bool PrivateOffice::StopOffice(const std::string& pipeName, pid_t group, bool reap) {
    if (!OfficeGroupId(group)) {
        return false;
    }
    try {
        if (auto connection = OfficeConnection::TryConnect(pipeName, 10s, 10s)) {
            connection->Call("terminate", [&] { connection->Desktop()->terminate(); });
        }
    } catch (const std::exception&) {
        // The office closing its end during terminate() is the expected outcome; one that is
        // gone already has nothing left to answer.
    }
    auto const deadline = std::chrono::steady_clock::now() + 10s;
    bool gone = false;
    int status = 0;
    while (!gone && std::chrono::steady_clock::now() < deadline) {
        gone = reap ? waitpid(group, &status, WNOHANG) == group : GroupGone(group);
        if (!gone) {
            std::this_thread::sleep_for(20ms);
        }
    }
    kill(-group, SIGKILL); // whatever of the group is left
    if (reap && !gone) {
        while (waitpid(group, &status, 0) < 0 && errno == EINTR) {
        }
    }
    // An office that is not this process's child is known only to be gone.
    return reap ? gone && WIFEXITED(status) : gone;
}

} // namespace slidevane
