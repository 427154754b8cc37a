#include "ClaimedFolder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace slidevane {

namespace fs = std::filesystem;

namespace {

// The name mkdtemp gives: the prefix and six letters or digits.
bool OfThePrefix(const std::string& name, const std::string& prefix) {
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

ClaimedFolder::ClaimedFolder(const fs::path& parent, const std::string& prefix) {
    // A later run may take a folder for abandoned between its making and its claim, and remove
    // it; the claim then finds its file gone, and the folder is made again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string pattern = (parent / (prefix + "XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(),
                                    "cannot make a temporary folder in " + parent.string());
        }
        fs::path const folder = pattern;
        int const fd = open((folder / ClaimFile).c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            int const error = errno;
            if (error == ENOENT) {
                continue;
            }
            rmdir(folder.c_str());
            throw std::system_error(error, std::generic_category(),
                                    "cannot claim the temporary folder " + folder.string());
        }
        struct stat status {};
        int locked = 0;
        while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked == 0 && fstat(fd, &status) == 0 && status.st_nlink > 0) {
            path_ = folder;
            claim_ = fd;
            return;
        }
        close(fd);
    }
    throw std::system_error(EAGAIN, std::generic_category(),
                            "cannot claim a temporary folder in " + parent.string());
}

ClaimedFolder::~ClaimedFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    close(claim_);
}

std::vector<fs::path> ClaimedFolder::RemoveAbandoned(const fs::path& parent,
                                                     const std::string& prefix) {
    std::vector<fs::path> removed;
    std::error_code error;
    for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
        fs::path const folder = it->path();
        struct stat before {};
        if (!OfThePrefix(folder.filename().string(), prefix) ||
            lstat(folder.c_str(), &before) != 0 || !S_ISDIR(before.st_mode) ||
            before.st_uid != geteuid()) {
            continue;
        }
        fs::path const file = folder / ClaimFile;
        int const fd = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat claim {};
        struct stat claimNow {};
        struct stat folderNow {};
        // Not held: no run of the command has it. Still the folder and the file that were
        // looked at, so nothing put in their place since goes.
        if (fstat(fd, &claim) == 0 && S_ISREG(claim.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            lstat(file.c_str(), &claimNow) == 0 && SameFile(claim, claimNow) &&
            lstat(folder.c_str(), &folderNow) == 0 && SameFile(before, folderNow)) {
            std::error_code failed;
            fs::remove_all(folder, failed);
            if (!failed) {
                removed.push_back(folder);
            }
        }
        close(fd);
    }
    return removed;
}

} // namespace slidevane
