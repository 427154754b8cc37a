#include "UserSession.h"

#include "OfficeProfile.h"
#include "UnoValues.h"
#include "UserProgram.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace slidevane::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

UserSession::UserSession() = default;

UserSession::~UserSession() {
    EndOffice();
}

UserEnvironment UserSession::Environment() const {
    // The session's own folders follow from its home, as on a fresh account.
    UserEnvironment environment = display_.Environment();
    environment.Set("HOME", Home().string());
    for (const char* folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                               "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        environment.Unset(folder);
    }
    return environment;
}

std::string UserSession::ProfileUrl() const {
    return uno::FromUno(uno::FileUrl((Home() / ".config/libreoffice/4").string()));
}

std::string UserSession::OfficePipe() const {
    return OfficeProfile::PipeName({"soffice", "-env:UserInstallation=" + ProfileUrl()});
}

std::vector<pid_t> UserSession::OfficeProcesses() const {
    std::vector<pid_t> found;
    std::string const mark = "HOME=" + Home().string();
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        std::string const name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::string const command = ReadAll(entry.path() / "cmdline");
        if (command.find("/libreoffice/") == std::string::npos &&
            command.rfind("soffice", 0) != 0) {
            continue;
        }
        std::string environment = ReadAll(entry.path() / "environ");
        std::replace(environment.begin(), environment.end(), '\0', '\n');
        if (("\n" + environment).find("\n" + mark + "\n") != std::string::npos) {
            found.push_back(std::stoi(name));
        }
    }
    return found;
}

void UserSession::MakeOfficeProfile() {
    // The first start on a new profile sets the profile up, then ends.
    static QTemporaryDir const made;
    static bool const ready = [] {
        UserProgram::Result const first =
            UserProgram::Run({"soffice", "--headless", "--terminate_after_init", "--norestore"},
                             UserEnvironment::FromSession()
                                 .Set("HOME", made.path().toStdString())
                                 .Unset("XDG_CONFIG_HOME")
                                 .Unset("XDG_CACHE_HOME")
                                 .Unset("XDG_RUNTIME_DIR"),
                             120s);
        return first.outcome.Succeeded();
    }();
    if (!ready) {
        throw std::runtime_error("the office did not make a profile");
    }
    fs::copy(fs::path(made.path().toStdString()) / ".config", Home() / ".config",
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

std::vector<pid_t> UserSession::Offices() const {
    std::vector<pid_t> offices;
    for (pid_t const pid : OfficeProcesses()) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
        std::string name;
        if (std::getline(in, name) && name == "soffice.bin") {
            offices.push_back(pid);
        }
    }
    return offices;
}

std::shared_ptr<OfficeConnection> UserSession::Office() const {
    return OfficeConnection::TryConnect(OfficePipe(), 10s, 30s);
}

void UserSession::EndOffice(int seconds) {
    if (OfficeProcesses().empty()) {
        return;
    }
    try {
        if (auto office = Office()) {
            office->Call("terminate", [&] { office->Desktop()->terminate(); });
        }
    } catch (const std::exception&) {
        // An office that closes the connection while it ends has done what was asked.
    }
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!OfficeProcesses().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
    }
    for (pid_t const pid : OfficeProcesses()) {
        if (pid > 1) {
            kill(pid, SIGKILL);
        }
    }
}

} // namespace slidevane::test
