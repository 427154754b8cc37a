#include "BuildFolder.h"

#include <cerrno>
#include <cstdio>
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

std::runtime_error Changed(const fs::path& destination) {
    return std::runtime_error(destination.string() +
                              ": changed while the pack was being made; not replaced");
}

std::string Prefix(const fs::path& destination) {
    return "." + destination.filename().string() + ".pack-";
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

bool Exchange(const fs::path& one, const fs::path& other) {
    return renameat2(AT_FDCWD, one.c_str(), AT_FDCWD, other.c_str(), RENAME_EXCHANGE) == 0;
}

} // namespace

BuildFolder::BuildFolder(const fs::path& destination)
    : destination_(destination), folder_(destination.parent_path(), Prefix(destination)),
      pack_(folder_.Path() / "pack") {
    if (mkdir(pack_.c_str(), 0777) != 0) {
        throw Failure(pack_, "cannot make the folder");
    }
}

std::vector<fs::path> BuildFolder::RemoveAbandoned(const fs::path& destination) {
    return ClaimedFolder::RemoveAbandoned(destination.parent_path(), Prefix(destination));
}

void BuildFolder::Commit(const PackDestination& checked, const std::function<void()>& then) {
    // The destination was looked at before the templates were rendered, minutes ago: it is
    // replaced only if it is still what was looked at.
    if (!PackDestination::Examine(destination_).Same(checked)) {
        throw Changed(destination_);
    }
    if (checked.kind == PackDestination::Kind::Missing) {
        if (!RenameNew(pack_, destination_)) {
            if (errno == EEXIST || errno == ENOTEMPTY) {
                throw Changed(destination_);
            }
            throw Failure(destination_, "cannot put the pack there");
        }
        try {
            then();
        } catch (...) {
            RenameNew(destination_, pack_);
            throw;
        }
        return;
    }
    if (checked.kind != PackDestination::Kind::Pack) {
        throw std::logic_error(destination_.string() + ": only a pack is replaced");
    }
    if (!Exchange(pack_, destination_)) {
        if (errno == ENOENT) {
            throw Changed(destination_);
        }
        if (errno == EINVAL || errno == ENOSYS) {
            throw std::runtime_error(
                destination_.string() +
                ": its file system cannot swap the earlier pack for the new one in one step; "
                "remove the earlier pack, then run again");
        }
        throw Failure(destination_, "cannot put the pack there");
    }
    // The earlier pack is now in this folder. If something took the destination's place between
    // the last look and the swap, that is what came out: it goes back.
    if (!PackDestination::Examine(pack_).Same(checked)) {
        Exchange(pack_, destination_);
        throw Changed(destination_);
    }
    try {
        then();
    } catch (...) {
        Exchange(pack_, destination_);
        throw;
    }
}

} // namespace slidevane
