#pragma once

#include "OfficeConnection.h"
#include "PrivateOffice.h"

#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// A headless office of the tests' own: a private profile and temporary folder under one work
// folder, a unique pipe, its own process group. The user's office and profile are never used.
//
// Owns: the office process (through PrivateOffice, which starts, ends and reaps it) unless it
// attached to one that another process started and will stop; the work folder is kept for
// the caller, who also owns the fixtures in it.
namespace slidevane::testing {

class TestOffice {
public:
    // Starts an office under `workFolder` (created if missing), listening on `pipeName` or, when
    // that is empty, on a pipe of its own.
    static std::unique_ptr<TestOffice> Start(const std::filesystem::path& workFolder,
                                             const std::string& pipeName = {});
    // The office a fixture process started and described in `stateFile`; stopping it is left
    // to that fixture.
    static std::unique_ptr<TestOffice> Attach(const std::filesystem::path& stateFile);
    ~TestOffice();

    const std::string& PipeName() const { return pipeName_; }
    pid_t Pid() const { return pid_; }
    const std::filesystem::path& Profile() const { return profile_; }
    const std::filesystem::path& WorkFolder() const { return workFolder_; }
    // The tests' own connection, for preparing fixtures and inspecting results.
    OfficeConnection& Connection() { return *connection_; }

    // The documents the office has open (XDesktop::getComponents), and closing all of them:
    // every document of this office belongs to the tests.
    std::vector<css::uno::Reference<css::lang::XComponent>> Documents();
    void CloseDocuments();

    // Drops and re-opens the tests' share of the link. The tests and the code under test share
    // one link to the office; a test that makes that link die (an office that stops answering)
    // drops its share first and takes a new link afterwards.
    void Disconnect() { connection_.reset(); }
    void Reconnect();

    void WriteState(const std::filesystem::path& stateFile) const;
    // terminate() on this office, then the group is killed if it has not gone within 10 s.
    void Stop();
    // Leaves the office running when this object goes (a fixture process hands it over).
    void Detach() {
        owned_ = false;
        if (process_) {
            process_->Release();
            process_.reset();
        }
    }

    // A file: URL for a local path.
    static std::string Url(const std::filesystem::path& path);
    // The profile URL option for a profile folder.
    static std::string ProfileOption(const std::filesystem::path& profile);
    // A launcher command for UnoAutomationRuntime that starts a headless office on `profile`
    // through the office's own wrapper and records the wrapper's process id (which is also the
    // group of the office, as the runtime gives it a session of its own) in `pidFile`.
    static std::vector<std::string> LauncherCommand(const std::filesystem::path& profile,
                                                    const std::filesystem::path& pidFile);
    // The id in `pidFile`, or -1 when it holds none above 1.
    static pid_t ReadPid(const std::filesystem::path& pidFile);
    // Stops the office whose process group is `group`, after asking it through `pipeName`.
    static void StopOffice(const std::string& pipeName, pid_t group, bool reap);

private:
    TestOffice() = default;

    std::filesystem::path workFolder_;
    std::filesystem::path profile_;
    std::string pipeName_;
    pid_t pid_ = -1;
    bool owned_ = true;
    std::unique_ptr<PrivateOffice> process_; // the office this object started, until handed over
    std::shared_ptr<OfficeConnection> connection_;
};

} // namespace slidevane::testing
