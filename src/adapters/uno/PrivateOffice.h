#pragma once

#include "OfficeConnection.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// An office that belongs to this process alone, for work that must never reach the user's own
// office: a headless office binary started directly (its process id is the office), on a
// profile and a temporary folder of its own under one work folder, listening on a pipe of its
// own, in a process group of its own so that a terminal's Ctrl-C reaches its owner only.
//
// Owns: the office process from its start until it has been ended and reaped, including the
// second start that a fresh profile asks for. It does not own the work folder, which the
// caller made and removes once the office is stopped.
namespace slidevane {

class PrivateOffice {
public:
    struct Settings {
        // Holds profile/, tmp/ (the office's TMPDIR) and office.log (its output).
        std::filesystem::path workFolder;
        std::string pipeName;
        // Further variables for the office's environment, as NAME and value.
        std::vector<std::pair<std::string, std::string>> environment;
        // Whether the office is killed when this process ends however it ends (a process that
        // hands its office over to another leaves this off).
        bool endsWithThisProcess = false;
    };

    // Starts the office and returns at once; throws std::runtime_error when it cannot be run.
    explicit PrivateOffice(Settings settings);
    ~PrivateOffice();
    PrivateOffice(const PrivateOffice&) = delete;
    PrivateOffice& operator=(const PrivateOffice&) = delete;

    // Waits until the office answers on its pipe; calls on the connection are bounded by
    // `callDeadline`. Throws std::runtime_error, with the end of the office's output, when it
    // ends without answering or does not answer within `deadline`.
    std::shared_ptr<OfficeConnection> Connect(std::chrono::milliseconds deadline,
                                              std::chrono::milliseconds callDeadline);

    pid_t Pid() const { return pid_.load(); }
    const std::string& PipeName() const { return settings_.pipeName; }
    std::filesystem::path Profile() const { return settings_.workFolder / "profile"; }
    std::filesystem::path Log() const { return settings_.workFolder / "office.log"; }

    // Asks the office to end, waits for it up to 10 s, kills what is left of its group and
    // reaps it; an office that did not end by itself leaves its pipes behind, which are removed.
    // Nothing happens a second time.
    void Stop();
    // Ends the office at once; safe from another thread while this one waits on a call to it.
    // Stop() still reaps it.
    void Kill() noexcept;
    // Leaves the office running for another process that will stop it.
    void Release() { pid_.store(-1); }

    // Ends the office whose process group is `group`, after asking it through `pipeName`;
    // `reap` when the office is a child of this process. True when it ended by itself.
    static bool StopOffice(const std::string& pipeName, pid_t group, bool reap);

    // The files of the pipes of an office listening on `pipeName` with profile `profile`: its
    // own, and the one an office keeps for its profile. An office that is killed leaves them.
    static std::vector<std::string> PipeFiles(const std::string& pipeName,
                                              const std::filesystem::path& profile);

private:
    pid_t Spawn() const;
    std::string LogTail() const;
    void RemoveLeftPipes() const;

    Settings settings_;
    std::atomic<pid_t> pid_{-1};
};

} // namespace slidevane
