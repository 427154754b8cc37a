#pragma once

#include "OfficeConnection.h"
#include "UserEnvironment.h"
#include "XvfbDisplay.h"

#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// A user's desktop session for one test: a private X display, a home folder of its own (so the
// office profile, and with it the office's pipe, are the session's alone), and the environment
// a session gives the programs it starts. The user's office is whatever office runs on that
// profile, however it was started; the session finds its processes by the home folder in their
// environment.
//
// Owns: the display, the home folder, and every office process of the session, which it ends
// (through the office, then by pid) when it ends. It does not own the programs a test starts.
namespace slidevane::test {

class UserSession {
public:
    UserSession();
    ~UserSession();
    UserSession(const UserSession&) = delete;
    UserSession& operator=(const UserSession&) = delete;

    bool Started() const { return display_.Started() && home_.isValid(); }
    XvfbDisplay& Display() { return display_; }
    std::filesystem::path Home() const { return home_.path().toStdString(); }
    UserEnvironment Environment() const;

    // The profile the office takes by default in this session, and the pipe the program names
    // after it.
    std::string ProfileUrl() const;
    std::string OfficePipe() const;
    // Gives the session the office profile a first start of the office makes, so that the
    // office starts as it does for a user who has run it before. The profile is made once per
    // test process.
    void MakeOfficeProfile();
    // The office processes of the session (launcher, splash, office), by pid.
    std::vector<pid_t> OfficeProcesses() const;
    // Those of them that are an office itself.
    std::vector<pid_t> Offices() const;
    // The session's office through the program's pipe, or nullptr when none listens there.
    std::shared_ptr<OfficeConnection> Office() const;
    // Asks the session's office to end and kills what is left of it after `seconds`.
    void EndOffice(int seconds = 10);

private:
    QTemporaryDir home_;
    XvfbDisplay display_;
};

} // namespace slidevane::test
