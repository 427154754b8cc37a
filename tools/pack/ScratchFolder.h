#pragma once

#include "ClaimedFolder.h"

#include <filesystem>
#include <vector>

// A folder of the command's own under $TMPDIR (else /tmp) for its office's profile and temporary
// files and the rendered slides: made when the object is, removed with everything in it when
// the object goes, whichever way the work ends; one that a killed run left is removed by a
// later run.
//
// Owns: the folder. It does not own what runs in it; the office is ended before it goes.
namespace slidevane {

class ScratchFolder {
public:
    // Throws std::system_error when the folder cannot be made.
    ScratchFolder();

    const std::filesystem::path& Path() const { return folder_.Path(); }

    // Removes the scratch folders that runs which were killed left; returns them.
    static std::vector<std::filesystem::path> RemoveAbandoned();

private:
    ClaimedFolder folder_;
};

} // namespace slidevane
