#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A folder of one run of this command, named `prefix` and six random characters, and claimed
// for as long as the run lives: the run holds a lock on a file of the command's own inside it,
// which the system lets go when the process ends, however it ends. Such a folder whose claim
// nobody holds was left by a run that was killed, and a later run removes it; a folder of
// another name, of another user, without that file or claimed by a run still going is never
// touched.
//
// Owns: the folder and the claim, from the making to the removal; and the test of whether a
// folder was abandoned.
namespace slidevane {

class ClaimedFolder {
public:
    // Makes and claims a folder in `parent`; throws std::system_error when it cannot.
    ClaimedFolder(const std::filesystem::path& parent, const std::string& prefix);
    // Removes the folder with everything in it, then lets the claim go.
    ~ClaimedFolder();
    ClaimedFolder(const ClaimedFolder&) = delete;
    ClaimedFolder& operator=(const ClaimedFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Removes every abandoned folder of `prefix` in `parent`; returns those removed.
    static std::vector<std::filesystem::path> RemoveAbandoned(const std::filesystem::path& parent,
                                                              const std::string& prefix);

    // The file inside that carries the claim.
    static constexpr const char* ClaimFile = ".slidevane3-pack-run";

private:
    std::filesystem::path path_;
    int claim_ = -1;
};

} // namespace slidevane
