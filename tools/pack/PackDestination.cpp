#include "PackDestination.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace slidevane {

namespace fs = std::filesystem;

PackDestination PackDestination::Examine(const fs::path& path) {
    PackDestination seen;
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        seen.kind = errno == ENOENT ? Kind::Missing : Kind::Unreadable;
        seen.detail = std::strerror(errno);
        return seen;
    }
    seen.device = status.st_dev;
    seen.inode = status.st_ino;
    if (S_ISLNK(status.st_mode)) {
        seen.kind = Kind::SymbolicLink;
        return seen;
    }
    if (!S_ISDIR(status.st_mode)) {
        seen.kind = Kind::NotAFolder;
        return seen;
    }
    std::vector<std::string> foreign;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        std::string const entry = it->path().filename().string();
        std::error_code ignored;
        if (!((entry == "UI" || entry == "TEMPLATE") && it->is_directory(ignored))) {
            foreign.push_back(entry);
        }
    }
    if (error) {
        seen.kind = Kind::Unreadable;
        seen.detail = error.message();
    } else if (!foreign.empty()) {
        seen.kind = Kind::NotAPack;
        for (const std::string& entry : foreign) {
            seen.detail += (seen.detail.empty() ? "" : ", ") + entry;
        }
    } else {
        seen.kind = Kind::Pack;
    }
    return seen;
}

} // namespace slidevane
