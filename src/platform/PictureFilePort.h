#pragma once

#include <cstddef>
#include <string>

// Reading a picture file named the way the catalogue names it: backslashes, perhaps a drive
// letter, perhaps ending in its stored NUL (which ends the name).
//
// Owns: the contract only. Each platform resolves the name and reads the file its own way; the
// picture room decides what the bytes must be.
namespace slidevane {

class PictureFilePort {
public:
    virtual ~PictureFilePort() = default;
    // The whole file at `path`, read now. Throws RuntimeError 76 when a folder on the way is
    // missing, 53 when the file is, and 481 when it is no regular file (a folder, a pipe, a
    // device: never waited on), cannot be read, or holds more than `maxBytes`.
    virtual std::string ReadPictureFile(const std::string& path, std::size_t maxBytes) = 0;
};

} // namespace slidevane
