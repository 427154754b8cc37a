#include "BuildFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>

namespace slidevane {

namespace fs = std::filesystem;

namespace {

std::runtime_error Failure(const fs::path& path, const std::string& what) {
    return std::runtime_error(path.string() + ": " + what + ": " + std::strerror(errno));
}

// A rename that never replaces what is there: the destination may have been made by someone
// else since it was checked. A file system without the flag gets the plain rename, which
// still refuses to replace a folder that is not empty.
bool RenameNew(const fs::path& from, const fs::path& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    struct stat status {};
    if (lstat(to.c_str(), &status) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

BuildFolder::BuildFolder(const fs::path& destination) : destination_(destination) {
    std::string pattern =
        (destination.parent_path() / ("." + destination.filename().string() + ".pack-XXXXXX"))
            .string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw Failure(destination.parent_path(), "cannot make a temporary folder here");
    }
    folder_ = pattern;
    pack_ = folder_ / "pack";
    std::error_code error;
    fs::create_directory(pack_, error);
    if (error) {
        errno = error.value();
        fs::remove_all(folder_, error);
        throw Failure(pack_, "cannot make the folder");
    }
}

BuildFolder::~BuildFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void BuildFolder::Commit(bool replace, const std::function<void()>& then) {
    fs::path const previous = folder_ / "previous";
    bool movedAside = false;
    if (replace && fs::exists(fs::symlink_status(destination_))) {
        if (!RenameNew(destination_, previous)) {
            throw Failure(destination_, "cannot move the earlier pack aside");
        }
        movedAside = true;
    }
    if (!RenameNew(pack_, destination_)) {
        std::runtime_error const failure = Failure(destination_, "cannot put the pack there");
        if (movedAside) {
            RenameNew(previous, destination_);
        }
        throw failure;
    }
    try {
        then();
    } catch (...) {
        // Back as it was: the new pack into this folder, to go with it, the earlier one back.
        if (RenameNew(destination_, pack_) && movedAside) {
            RenameNew(previous, destination_);
        }
        throw;
    }
}

} // namespace slidevane
