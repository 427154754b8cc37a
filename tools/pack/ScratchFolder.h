#pragma once

#include <filesystem>

// A folder of the command's own under $TMPDIR (else /tmp) for its office's profile and temporary
// files and the rendered slides: made when the object is, removed with everything in it when
// the object goes, whichever way the work ends.
//
// Owns: the folder. It does not own what runs in it; the office is ended before it goes.
namespace slidevane {

class ScratchFolder {
public:
    // Throws std::system_error when the folder cannot be made.
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace slidevane
