#include "UnoAutomationRuntime.h"

#include "OfficeConnection.h"
#include "OfficeLauncher.h"
#include "OfficeProfile.h"
#include "OfficeStartLock.h"
#include "UnoApplication.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <thread>
#include <unistd.h>

namespace slidevane {

namespace {

// A started office begins to listen within a few hundred milliseconds; a short interval keeps
// the wait close to that moment, and a failed connection attempt costs next to nothing.
constexpr auto RetryInterval = std::chrono::milliseconds(20);

// The class names of the presentation application's two versions; ProgIDs compare without
// regard to case.
void RequireImpressClass(const std::string& className) {
    std::string lower = className;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower != "powerpoint.application.9" && lower != "powerpoint.application.8") {
        throw RuntimeError::CannotCreateObject(className);
    }
}

// The keeper is installed beside the program, or in the program's own folder of helpers.
std::filesystem::path OfficeKeeperPath(const std::filesystem::path& program) {
    std::filesystem::path const folder = program.parent_path();
    for (const std::filesystem::path& candidate :
         {folder / "slidevane3-office-keeper",
          folder / ".." / "libexec" / "slidevane3" / "slidevane3-office-keeper"}) {
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate.lexically_normal();
        }
    }
    return {};
}

} // namespace

UnoAutomationRuntime::Settings
UnoAutomationRuntime::DefaultSettings(const std::filesystem::path& program) {
    std::vector<std::string> launcher{"soffice"};
    std::string pipe = OfficeProfile::PipeName(launcher);
    std::string profile = OfficeProfile::UserInstallation(launcher);
    return {std::move(launcher),
            std::move(pipe),
            std::move(profile),
            program.empty() ? std::filesystem::path() : OfficeKeeperPath(program),
            std::chrono::seconds(30),
            std::chrono::seconds(60)};
}

UnoAutomationRuntime::UnoAutomationRuntime(const std::filesystem::path& program)
    : settings_(DefaultSettings(program)) {}

UnoAutomationRuntime::UnoAutomationRuntime(Settings settings) : settings_(std::move(settings)) {}

UnoAutomationRuntime::~UnoAutomationRuntime() = default;

std::optional<OfficeAhead::Outcome> UnoAutomationRuntime::StartAhead() {
    if (ahead_ || settings_.keeper.empty()) {
        return std::nullopt;
    }
    ahead_ = std::make_unique<OfficeAhead>(OfficeAhead::Settings{
        settings_.launcher, settings_.pipeName, settings_.profileUrl, settings_.keeper,
        settings_.connectDeadline,
        // readying is short; a program that ends meanwhile waits for it
        std::min<std::chrono::milliseconds>(settings_.callDeadline, std::chrono::seconds(15))});
    return ahead_->Start();
}

std::unique_ptr<AutomationApplication>
UnoAutomationRuntime::Attach(std::shared_ptr<OfficeConnection> office) {
    kept_ = office->Link();
    return std::make_unique<UnoApplication>(std::move(office));
}

std::unique_ptr<AutomationApplication>
UnoAutomationRuntime::GetObject(const std::string& pathName, const std::string& className) {
    RequireImpressClass(className);
    if (!pathName.empty()) {
        // Attaching to a document by its file name is not a way the system obtains the office.
        throw RuntimeError::CannotCreateObject(className);
    }
    if (ahead_) {
        ahead_->Wait();
    }
    std::shared_ptr<OfficeConnection> office = OfficeConnection::TryConnect(
        settings_.pipeName, settings_.connectDeadline, settings_.callDeadline);
    if (!office) {
        throw RuntimeError::Automation("GetObject",
                                       "no office is listening on pipe " + settings_.pipeName);
    }
    return Attach(std::move(office));
}

std::unique_ptr<AutomationApplication>
UnoAutomationRuntime::CreateObject(const std::string& className) {
    RequireImpressClass(className);
    auto const deadline = std::chrono::steady_clock::now() + settings_.connectDeadline;
    if (ahead_) {
        ahead_->Wait();
    }
    // An office that listens already is the application: starting the launcher would only hand
    // it the same pipe again. While another run holds the start lock, its office is on the way.
    std::unique_ptr<OfficeStartLock> lock;
    for (;;) {
        if (std::shared_ptr<OfficeConnection> office = OfficeConnection::TryConnect(
                settings_.pipeName, settings_.connectDeadline, settings_.callDeadline)) {
            return Attach(std::move(office));
        }
        if (lock) {
            break; // taken, and still nothing answers: this run starts the office
        }
        lock = OfficeStartLock::TryTake(settings_.pipeName);
        if (lock) {
            continue; // one more look: the lock's last holder may have just started one
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw RuntimeError::Automation(
                "CreateObject", "no office answered on pipe " + settings_.pipeName + " within " +
                                    std::to_string(settings_.connectDeadline.count()) + " ms");
        }
        std::this_thread::sleep_for(RetryInterval);
    }
    OfficeLauncher const launcher(settings_.launcher, settings_.pipeName);
    for (;;) {
        auto const left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (std::shared_ptr<OfficeConnection> office = OfficeConnection::TryConnect(
                settings_.pipeName, std::max(left, RetryInterval), settings_.callDeadline)) {
            return Attach(std::move(office));
        }
        // A launcher that fails has nothing more to offer; one that succeeded may have handed
        // the option to a running office, which starts listening shortly after.
        if (std::optional<int> const status = launcher.ExitStatus(); status && *status != 0) {
            throw RuntimeError::Automation("CreateObject", settings_.launcher.front() +
                                                               " ended with status " +
                                                               std::to_string(*status));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw RuntimeError::Automation(
                "CreateObject", "no office answered on pipe " + settings_.pipeName + " within " +
                                    std::to_string(settings_.connectDeadline.count()) + " ms");
        }
        std::this_thread::sleep_for(RetryInterval);
    }
}

} // namespace slidevane
