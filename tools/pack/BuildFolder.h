#pragma once

#include "ClaimedFolder.h"
#include "PackDestination.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// The temporary folder beside the pack's destination where the pack is built, and the step that
// puts the finished pack in place: one rename on the same file system, which swaps the pack
// with an earlier one in a single step, so that at every instant the destination is the earlier
// pack or the new one; undone again when what has to follow it (writing the registry file)
// fails. Whatever is left in the folder, an unfinished pack or the pack it replaced, goes with
// it, and a later run removes the folder of a run that was killed.
//
// Owns: the temporary folder, from its making to its removal, and the last look at the
// destination before it is replaced. It does not decide whether the destination may be
// replaced; the caller checked that.
namespace slidevane {

class BuildFolder {
public:
    // Makes a hidden folder beside `destination`; throws std::runtime_error when it cannot.
    explicit BuildFolder(const std::filesystem::path& destination);
    ~BuildFolder() = default;
    BuildFolder(const BuildFolder&) = delete;
    BuildFolder& operator=(const BuildFolder&) = delete;

    // The pack being built; it becomes the destination.
    const std::filesystem::path& Pack() const { return pack_; }
    const std::filesystem::path& Folder() const { return folder_.Path(); }

    // Puts the pack at the destination in place of what `checked` saw there (nothing or a
    // pack), then runs `then`; when `then` throws, the destination is as it was before and the
    // exception passes on. Throws std::runtime_error, leaving the destination as it is, when
    // the pack cannot be put in place or the destination is no longer what `checked` saw.
    void Commit(const PackDestination& checked, const std::function<void()>& then);

    // Removes the build folders beside `destination` that killed runs left; returns them.
    static std::vector<std::filesystem::path>
    RemoveAbandoned(const std::filesystem::path& destination);

private:
    std::filesystem::path destination_;
    ClaimedFolder folder_;
    std::filesystem::path pack_;
};

} // namespace slidevane
