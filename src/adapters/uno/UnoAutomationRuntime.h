#pragma once

#include "OfficeAhead.h"
#include "OfficeConnection.h"
#include "platform/AutomationPort.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The automation runtime on Linux: the presentation application's class names resolve to
// LibreOffice Impress, reached over a pipe named after the office profile the user's office
// uses. GetObject attaches to an office already listening there; CreateObject does too, or runs
// the office's launcher with an accept option for the pipe (which also hands the option to an
// office the user already runs on that profile) and waits, within a deadline, for the pipe to
// answer.
//
// Once the window is up it may start the office ahead (OfficeAhead), so that the first
// double-click finds it running; a double-click while that start is under way waits for it. Two
// runs never start two offices on one profile: an office is started only under the profile's
// start lock, and a run that finds the lock taken waits for the office that its holder starts.
//
// Owns: the settings of how to reach the office, the start ahead, and the link to the office
// between double-clicks: the pipe stays connected so that the next double-click need not set up
// a bridge again, while the application objects it returns, and every office object they
// obtained, are released at the end of each double-click. It never stops or closes the office or
// any document the user has; only an office it started ahead and left without a document is
// ended, by the keeper, when the program ends.
namespace slidevane {

class UnoAutomationRuntime : public AutomationRuntime {
public:
    struct Settings {
        // The launcher and its leading arguments; the accept option is appended.
        std::vector<std::string> launcher;
        std::string pipeName;
        // The profile the launcher's office uses.
        std::string profileUrl;
        // The keeper program for an office started ahead; empty: no office is started ahead.
        std::filesystem::path keeper;
        // How long CreateObject waits for a started office, and GetObject for a hand-shake.
        std::chrono::milliseconds connectDeadline;
        // How long one office call may take before the connection is given up.
        std::chrono::milliseconds callDeadline;
    };

    // `soffice` on PATH, the pipe of the profile it would use, 30 s to connect, 60 s per call,
    // and the keeper installed with `program` (the path of this program's executable).
    explicit UnoAutomationRuntime(const std::filesystem::path& program = {});
    explicit UnoAutomationRuntime(Settings settings);
    ~UnoAutomationRuntime() override;

    static Settings DefaultSettings(const std::filesystem::path& program = {});

    // Starts the office ahead when it may (see OfficeAhead); returns at once. Nothing happens
    // without a keeper, or a second time.
    std::optional<OfficeAhead::Outcome> StartAhead();

    std::unique_ptr<AutomationApplication> GetObject(const std::string& pathName,
                                                     const std::string& className) override;
    std::unique_ptr<AutomationApplication> CreateObject(const std::string& className) override;

private:
    std::unique_ptr<AutomationApplication> Attach(std::shared_ptr<OfficeConnection> office);

    Settings settings_;
    std::unique_ptr<OfficeAhead> ahead_;
    std::shared_ptr<OfficeLink> kept_;
};

} // namespace slidevane
