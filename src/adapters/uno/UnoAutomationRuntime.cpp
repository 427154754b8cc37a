#include "UnoAutomationRuntime.h"

#include "OfficeConnection.h"
#include "OfficeLauncher.h"
#include "OfficeProfile.h"
#include "UnoApplication.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <thread>

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

} // namespace

UnoAutomationRuntime::Settings UnoAutomationRuntime::DefaultSettings() {
    std::vector<std::string> launcher{"soffice"};
    std::string pipe = OfficeProfile::PipeName(launcher);
    return {std::move(launcher), std::move(pipe), std::chrono::seconds(30),
            std::chrono::seconds(60)};
}

UnoAutomationRuntime::UnoAutomationRuntime() : settings_(DefaultSettings()) {}

UnoAutomationRuntime::UnoAutomationRuntime(Settings settings) : settings_(std::move(settings)) {}

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
    // An office that listens already is the application: starting the launcher would only hand
    // it the same pipe again.
    if (std::shared_ptr<OfficeConnection> office = OfficeConnection::TryConnect(
            settings_.pipeName, settings_.connectDeadline, settings_.callDeadline)) {
        return Attach(std::move(office));
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
