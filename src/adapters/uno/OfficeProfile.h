#pragma once

#include <string>
#include <vector>

// The office profile (user installation) that a launch of the office would use, and the pipe
// name of the program's that stands for it. The office keeps one instance per profile and names
// its own single-instance pipe after the profile; the program does the same, so that runs under
// another HOME or another profile never reach each other's office.
//
// Owns: the rules by which the office finds its profile: an -env:UserInstallation= argument of
// the launch, else the UserInstallation variable of the environment, else the office's bootstrap
// file with its own expansion of $SYSUSERCONFIG (XDG_CONFIG_HOME, else ~/.config). It reads
// nothing else and writes nothing.
namespace slidevane {

class OfficeProfile {
public:
    // The profile URL for a launch by `launcher` (the program and its arguments).
    static std::string UserInstallation(const std::vector<std::string>& launcher);
    // "slidevane3_" and a digest of that URL.
    static std::string PipeName(const std::vector<std::string>& launcher);
};

} // namespace slidevane
