#pragma once

#include "adapters/posix/NativePath.h"
#include "platform/PictureFilePort.h"

#include <string>

// Picture files on Linux: the catalogue's name resolved to a native path (drive letters through
// the Wine prefix, any case), then read as a regular file only, never waited on, at most the
// cap asked for.
//
// Owns: the resolution errors (53, 76) and the refusal of what is no readable regular file
// (481), and the native path of the last file it read. It does not decide what the bytes must be
// (the picture room).
namespace slidevane {

class PosixPictureFiles : public PictureFilePort {
public:
    explicit PosixPictureFiles(NativePath paths = NativePath::fromEnvironment())
        : paths_(std::move(paths)) {}

    std::string ReadPictureFile(const std::string& path, std::size_t maxBytes) override;

    // The native path of the last file read whole; bytes as resolved, not necessarily UTF-8.
    const std::string& LastNativePath() const { return lastNative_; }

private:
    NativePath paths_;
    std::string lastNative_;
};

} // namespace slidevane
