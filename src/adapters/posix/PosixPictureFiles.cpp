#include "adapters/posix/PosixPictureFiles.h"

#include "adapters/posix/RegularFile.h"
#include "platform/RuntimeError.h"

namespace slidevane {

std::string PosixPictureFiles::ReadPictureFile(const std::string& path, std::size_t maxBytes) {
    NativePath::Resolution const resolved = paths_.resolve(path);
    switch (resolved.status) {
    case NativePath::Status::Found:
        break;
    case NativePath::Status::FileMissing:
        throw RuntimeError::FileNotFound(path);
    case NativePath::Status::FolderMissing:
        throw RuntimeError::PathNotFound(path);
    }
    // A FIFO, device, socket or folder under the picture's name (or a symlink to one) is refused
    // at once: never waited on, never read without end.
    RegularFile file(resolved.path);
    if (file.status() == RegularFile::Status::Missing) {
        throw RuntimeError::FileNotFound(path); // gone since it was resolved
    }
    std::string bytes;
    if (!file.readAll(maxBytes, bytes)) {
        throw RuntimeError::InvalidPicture(path);
    }
    lastNative_ = resolved.path;
    return bytes;
}

} // namespace slidevane
