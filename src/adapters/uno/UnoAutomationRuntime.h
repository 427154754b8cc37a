#pragma once

#include "OfficeConnection.h"
#include "platform/AutomationPort.h"

#include <chrono>
#include <string>
#include <vector>

// The automation runtime on Linux: the presentation application's class names resolve to
// LibreOffice Impress, reached over a pipe named after the office profile the user's office
// uses. GetObject attaches to an office already listening there; CreateObject does too, or runs
// the office's launcher with an accept option for the pipe (which also hands the option to an
// office the user already runs on that profile) and waits, within a deadline, for the pipe to
// answer.
//
// Owns: the settings of how to reach the office, and the link to it between double-clicks: the
// pipe stays connected so that the next double-click need not set up a bridge again, while the
// application objects it returns, and every office object they obtained, are released at the
// end of each double-click. It never stops or closes the office or any document the user has.
namespace slidevane {

class UnoAutomationRuntime : public AutomationRuntime {
public:
    struct Settings {
        // The launcher and its leading arguments; the accept option is appended.
        std::vector<std::string> launcher;
        std::string pipeName;
        // How long CreateObject waits for a started office, and GetObject for a hand-shake.
        std::chrono::milliseconds connectDeadline;
        // How long one office call may take before the connection is given up.
        std::chrono::milliseconds callDeadline;
    };

    // `soffice` on PATH, the pipe of the profile it would use, 30 s to connect, 60 s per call.
    UnoAutomationRuntime();
    explicit UnoAutomationRuntime(Settings settings);

    static Settings DefaultSettings();

    std::unique_ptr<AutomationApplication> GetObject(const std::string& pathName,
                                                     const std::string& className) override;
    std::unique_ptr<AutomationApplication> CreateObject(const std::string& className) override;

private:
    std::unique_ptr<AutomationApplication> Attach(std::shared_ptr<OfficeConnection> office);

    Settings settings_;
    std::shared_ptr<OfficeLink> kept_;
};

} // namespace slidevane
