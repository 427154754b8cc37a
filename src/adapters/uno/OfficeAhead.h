#pragma once

#include "OfficeLauncher.h"
#include "OfficeLink.h"
#include "OfficeStartLock.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// The user's office started ahead, while the user browses, so that the first double-click finds
// it running: the office is started exactly as a double-click starts it, on the same pipe,
// without a window, but only when no office runs on the user's profile, the profile exists
// (a first run on a new profile waits for a double-click) and no other run of the program is
// starting one. Once it answers, the link to it is made and the office makes and drops a hidden
// presentation, so that the first double-click costs what a later one does. A keeper process,
// started beside it, ends that office when this program ends, however it ends, unless the office
// holds a document by then.
//
// Owns: the start (the launcher, the start lock until the office answers, a thread that waits
// for it) and the keeper's end of the tie: the keeper acts when this object's process ends. It
// never touches an office that it did not start.
namespace slidevane {

class OfficeAhead {
public:
    struct Settings {
        std::vector<std::string> launcher; // the program and its leading arguments
        std::string pipeName;
        std::string profileUrl; // the profile the launcher's office will use
        std::filesystem::path keeper;
        std::chrono::milliseconds startDeadline; // for the office to answer on the pipe
        std::chrono::milliseconds callDeadline;  // for each call that readies it
    };

    enum class Outcome {
        Started,       // the office is starting
        Running,       // an office runs on the profile already
        NoProfile,     // the profile does not exist yet
        OtherStarting, // another run is starting one
        Failed,        // the launcher or the keeper could not be started
    };

    explicit OfficeAhead(Settings settings);
    ~OfficeAhead();
    OfficeAhead(const OfficeAhead&) = delete;
    OfficeAhead& operator=(const OfficeAhead&) = delete;

    // Starts the office when it may; returns at once.
    Outcome Start();
    // Waits until a start has come to its end: the office answers on the pipe and is ready for
    // a double-click, its launcher failed, or its time ran out (every step of the start is
    // bounded). Returns at once when nothing was started. Until then no other thread of the
    // process may use a link to the office.
    void Wait();

    // The folder of the profile a file URL names; empty for any other URL.
    static std::filesystem::path ProfileFolder(const std::string& profileUrl);

private:
    void Watch();
    // Connects and has the office make (and drop) a presentation with a view, hidden, so that
    // the first double-click finds the presentation code loaded and the link set up.
    void Ready();

    Settings settings_;
    std::unique_ptr<OfficeLauncher> launcher_;
    std::unique_ptr<OfficeStartLock> lock_;
    std::shared_ptr<OfficeLink> link_; // kept for the double-clicks to come
    int tie_ = -1; // the write end of the keeper's pipe: it reads end of file once we are gone
    pid_t keeper_ = -1;
    std::thread watcher_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool settled_ = true;
    bool stopping_ = false;
};

} // namespace slidevane
