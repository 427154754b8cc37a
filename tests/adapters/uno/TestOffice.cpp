#include "TestOffice.h"

#include "TemplateLoader.h"
#include "UnoValues.h"

#include <atomic>
#include <chrono>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace slidevane::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int ProfileCreated = 81;

pid_t Spawn(const std::vector<std::string>& arguments, const fs::path& tmp) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string const variable = *entry;
        if (variable.rfind("TMPDIR=", 0) != 0 && variable.rfind("URE_BOOTSTRAP=", 0) != 0) {
            environment.push_back(variable);
        }
    }
    environment.push_back("TMPDIR=" + tmp.string());
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> copy = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copy) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    // The office outlives a fixture process: it must not keep ctest's output pipes open.
    std::string const log = (tmp.parent_path() / "office.log").string();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    int const error = posix_spawn(&pid, argv[0], &files, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) {
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(error));
    }
    return pid;
}

bool GroupGone(pid_t group) {
    return kill(-group, 0) != 0 && errno == ESRCH;
}

} // namespace

std::string TestOffice::Url(const fs::path& path) {
    return "file://" + path.string();
}

std::string TestOffice::ProfileOption(const fs::path& profile) {
    return "-env:UserInstallation=" + Url(profile);
}

std::vector<std::string> TestOffice::LauncherCommand(const fs::path& profile,
                                                     const fs::path& pidFile) {
    return {"/bin/sh",
            "-c",
            "echo $$ > '" + pidFile.string() + "' && exec '" + SLIDEVANE3_OFFICE_PROGRAM +
                "/soffice' \"$@\"",
            "sh",
            ProfileOption(profile),
            "--headless",
            "--nolockcheck"};
}

pid_t TestOffice::ReadPid(const fs::path& pidFile) {
    pid_t pid = -1;
    std::ifstream(pidFile) >> pid;
    return pid;
}

std::unique_ptr<TestOffice> TestOffice::Start(const fs::path& workFolder,
                                              const std::string& pipeName) {
    static std::atomic<int> counter{0};
    std::unique_ptr<TestOffice> office(new TestOffice);
    office->workFolder_ = fs::absolute(workFolder);
    office->profile_ = office->workFolder_ / "profile";
    fs::create_directories(office->profile_);
    fs::create_directories(office->workFolder_ / "tmp");
    office->pipeName_ = !pipeName.empty() ? pipeName
                                          : "slidevane3_test_" + std::to_string(getpid()) + "_" +
                                                std::to_string(counter++);
    std::vector<std::string> const arguments = {
        std::string(SLIDEVANE3_OFFICE_PROGRAM) + "/soffice.bin",
        ProfileOption(office->profile_),
        "--headless",
        "--nologo",
        "--nodefault",
        "--norestore",
        "--nolockcheck",
        "--accept=pipe,name=" + office->pipeName_ + ";urp;"};

    auto const deadline = std::chrono::steady_clock::now() + 90s;
    office->pid_ = Spawn(arguments, office->workFolder_ / "tmp");
    while (std::chrono::steady_clock::now() < deadline) {
        office->connection_ = OfficeConnection::TryConnect(office->pipeName_, 30s, 120s);
        if (office->connection_) {
            return office;
        }
        int status = 0;
        if (waitpid(office->pid_, &status, WNOHANG) == office->pid_) {
            // A fresh profile is set up by a first run that ends with this status.
            if (WIFEXITED(status) && WEXITSTATUS(status) == ProfileCreated) {
                office->pid_ = Spawn(arguments, office->workFolder_ / "tmp");
                continue;
            }
            office->pid_ = -1;
            throw std::runtime_error("the test office ended with status " + std::to_string(status));
        }
        std::this_thread::sleep_for(100ms);
    }
    throw std::runtime_error("the test office did not answer on pipe " + office->pipeName_);
}

std::unique_ptr<TestOffice> TestOffice::Attach(const fs::path& stateFile) {
    std::ifstream in(stateFile);
    std::unique_ptr<TestOffice> office(new TestOffice);
    std::string profile;
    std::string work;
    in >> office->pipeName_ >> office->pid_ >> profile >> work;
    if (!in) {
        throw std::runtime_error("unreadable office state " + stateFile.string());
    }
    office->profile_ = profile;
    office->workFolder_ = work;
    office->owned_ = false;
    office->connection_ = OfficeConnection::TryConnect(office->pipeName_, 30s, 120s);
    if (!office->connection_) {
        throw std::runtime_error("no test office on pipe " + office->pipeName_);
    }
    return office;
}

std::vector<css::uno::Reference<css::lang::XComponent>> TestOffice::Documents() {
    std::vector<css::uno::Reference<css::lang::XComponent>> result;
    connection_->Call("getComponents", [&] {
        css::uno::Reference<css::container::XEnumeration> const all =
            connection_->Desktop()->getComponents()->createEnumeration();
        while (all->hasMoreElements()) {
            result.emplace_back(all->nextElement(), css::uno::UNO_QUERY);
        }
    });
    return result;
}

void TestOffice::CloseDocuments() {
    for (const auto& document : Documents()) {
        connection_->Call("close", [&] { TemplateLoader::Close(document); });
    }
}

void TestOffice::Reconnect() {
    connection_ = OfficeConnection::TryConnect(pipeName_, 30s, 120s);
    if (!connection_) {
        throw std::runtime_error("the test office no longer listens on " + pipeName_);
    }
}

void TestOffice::WriteState(const fs::path& stateFile) const {
    std::ofstream(stateFile) << pipeName_ << '\n'
                             << pid_ << '\n'
                             << profile_.string() << '\n'
                             << workFolder_.string() << '\n';
}

TestOffice::~TestOffice() {
    if (owned_) {
        Stop();
    }
}

void TestOffice::Stop() {
    connection_.reset();
    if (pid_ > 0) {
        StopOffice(pipeName_, pid_, owned_);
        pid_ = -1;
    }
}

void TestOffice::StopOffice(const std::string& pipeName, pid_t group, bool reap) {
    try {
        if (auto connection = OfficeConnection::TryConnect(pipeName, 10s, 10s)) {
            connection->Call("terminate", [&] { connection->Desktop()->terminate(); });
        }
    } catch (const std::exception&) {
        // The office closing its end during terminate() is the expected outcome.
    }
    auto const deadline = std::chrono::steady_clock::now() + 10s;
    bool gone = false;
    while (!gone && std::chrono::steady_clock::now() < deadline) {
        if (reap) {
            gone = waitpid(group, nullptr, WNOHANG) == group;
        } else {
            gone = GroupGone(group);
        }
        if (!gone) {
            std::this_thread::sleep_for(50ms);
        }
    }
    kill(-group, SIGKILL); // whatever of the group is left
    if (reap && !gone) {
        waitpid(group, nullptr, 0);
    }
}

} // namespace slidevane::testing
