#pragma once

#include <filesystem>
#include <functional>
#include <string>

// The temporary folder beside the pack's destination where the pack is built, and the step that
// puts the finished pack in place: a rename on the same file system, replacing an earlier pack
// only when asked to, and undone again when what has to follow it (writing the registry file)
// fails. Whatever is left in the folder, an unfinished pack or the pack it replaced, goes with
// it.
//
// Owns: the temporary folder, from its making to its removal. It does not decide whether the
// destination may be replaced; the caller checked that.
namespace slidevane {

class BuildFolder {
public:
    // Makes a hidden folder beside `destination`; throws std::runtime_error when it cannot.
    explicit BuildFolder(const std::filesystem::path& destination);
    ~BuildFolder();
    BuildFolder(const BuildFolder&) = delete;
    BuildFolder& operator=(const BuildFolder&) = delete;

    // The pack being built; it becomes the destination.
    const std::filesystem::path& Pack() const { return pack_; }
    const std::filesystem::path& Folder() const { return folder_; }

    // Puts the pack at the destination, moving an existing destination aside when `replace`,
    // then runs `then`; when `then` throws, the destination is as it was before and the
    // exception passes on. Throws std::runtime_error when the pack cannot be put in place.
    void Commit(bool replace, const std::function<void()>& then);

private:
    std::filesystem::path destination_;
    std::filesystem::path folder_;
    std::filesystem::path pack_;
};

} // namespace slidevane
