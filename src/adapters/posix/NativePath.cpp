#include "adapters/posix/NativePath.h"

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/TextCodec.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace slidevane {

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Adds a component in place: building a path of n components costs n appends, not n copies.
void append(std::string& path, std::string_view name) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += name;
}

// An open folder to walk on from, closed however the walk ends.
class Folder {
public:
    explicit Folder(int fd) : fd_(fd) {}
    ~Folder() { reset(-1); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_;
};

// The entries of the folders a resolution lists, folded, each folder listed once however often
// the path comes back to it.
class Listings {
public:
    // The entry of the open folder whose name equals name but for case; the first in byte
    // order when several do. Empty when none does.
    std::string match(int folder, std::string_view name) {
        struct stat st {};
        if (::fstat(folder, &st) != 0) {
            return {};
        }
        const auto key = std::make_pair(static_cast<std::uint64_t>(st.st_dev),
                                        static_cast<std::uint64_t>(st.st_ino));
        auto it = folders_.find(key);
        if (it == folders_.end()) {
            it = folders_.emplace(key, list(folder)).first;
        }
        const auto found = it->second.find(CaseFold::fold(TextCodec::fromUtf8(name)));
        return found == it->second.end() ? std::string() : found->second;
    }

private:
    using Entries = std::unordered_map<std::u16string, std::string>;

    static Entries list(int folder) {
        Entries entries;
        // The walk holds the folder open for its path only; listing needs it open for reading.
        const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
        if (dir == nullptr) {
            if (fd >= 0) {
                ::close(fd);
            }
            return entries;
        }
        while (const dirent* d = ::readdir(dir)) {
            const std::string_view entry = d->d_name;
            if (entry == "." || entry == "..") {
                continue;
            }
            auto [it, added] =
                entries.try_emplace(CaseFold::fold(TextCodec::fromUtf8(entry)), entry);
            if (!added && entry < it->second) {
                it->second = entry;
            }
        }
        ::closedir(dir);
        return entries;
    }

    struct PairHash {
        std::size_t operator()(const std::pair<std::uint64_t, std::uint64_t>& p) const {
            return std::hash<std::uint64_t>()(p.first * 0x9E3779B97F4A7C15ull ^ p.second);
        }
    };
    std::unordered_map<std::pair<std::uint64_t, std::uint64_t>, Entries, PairHash> folders_;
};

} // namespace

NativePath::NativePath(std::string dosDevices) : dosDevices_(std::move(dosDevices)) {}

NativePath NativePath::fromEnvironment() {
    const char* prefix = std::getenv("WINEPREFIX");
    const std::string base = prefix != nullptr && *prefix != '\0'
                                 ? std::string(prefix)
                                 : NativePath::homeFolder() + "/.wine";
    return NativePath(base + "/dosdevices");
}

NativePath::Resolution NativePath::resolve(std::string_view windowsPath) const {
    const std::size_t nul = windowsPath.find('\0');
    if (nul != std::string_view::npos) {
        windowsPath = windowsPath.substr(0, nul);
    }
    std::string path(windowsPath);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (path.empty()) {
        return {path, Status::FileMissing};
    }
    const bool folderOnly = path.back() == '/';

    std::string base;
    std::string_view rest = path;
    if (path.size() >= 2 && path[1] == ':' && isLetter(path[0])) {
        const char letter = static_cast<char>(path[0] | 0x20);
        const char drive[] = {letter, ':', '\0'};
        std::string link = dosDevices_;
        append(link, drive);
        struct stat st {};
        if (::stat(link.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            base = link;
        } else if (letter == 'z') {
            base.push_back('/');
        } else {
            return {path, Status::FolderMissing};
        }
        rest.remove_prefix(2);
    } else if (path.size() >= 2 && path[0] == '/' && path[1] == '/') {
        return {path, Status::FolderMissing}; // a network share has no local form
    } else if (path[0] == '/') {
        base.push_back('/');
    }

    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        if (slash != 0) {
            parts.push_back(rest.substr(0, slash));
        }
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }

    // The common case: everything exists as spelt, one stat. A path the system could not open
    // is not looked at.
    std::string exact = base;
    exact.reserve(base.size() + path.size() + 1);
    for (const std::string_view part : parts) {
        append(exact, part);
    }
    if (folderOnly && !exact.empty() && exact.back() != '/') {
        exact += '/';
    }
    struct stat st {};
    if (exact.size() < PATH_MAX && ::stat(exact.empty() ? "." : exact.c_str(), &st) == 0 &&
        (!folderOnly || S_ISDIR(st.st_mode))) {
        return {exact, Status::Found};
    }

    // Component by component from an open folder, so that each step costs its own component and
    // never the path walked so far.
    std::string resolved = base;
    resolved.reserve(exact.size());
    Folder folder(::open(base.empty() ? "." : base.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    Listings listings;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const bool mustBeFolder = !last || folderOnly;
        std::string name(parts[i]);
        bool present = folder.get() >= 0 && ::fstatat(folder.get(), name.c_str(), &st, 0) == 0;
        if (!present && folder.get() >= 0) {
            std::string match = listings.match(folder.get(), name);
            if (!match.empty()) {
                name = std::move(match);
                present = ::fstatat(folder.get(), name.c_str(), &st, 0) == 0;
            }
        }
        // Beyond PATH_MAX the resolved path could not be opened: such a component is missing.
        present = present && resolved.size() + 1 + name.size() < PATH_MAX;
        if (present && !last) {
            folder.reset(::openat(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            present = folder.get() >= 0;
        }
        if (!present || (mustBeFolder && !S_ISDIR(st.st_mode))) {
            std::string missing = std::move(resolved);
            append(missing, name);
            for (std::size_t j = i + 1; j < parts.size(); ++j) {
                append(missing, parts[j]);
            }
            return {missing, mustBeFolder ? Status::FolderMissing : Status::FileMissing};
        }
        append(resolved, name);
    }
    if (folderOnly && !resolved.empty() && resolved.back() != '/') {
        resolved += '/';
    }
    return {resolved.empty() ? std::string(".") : resolved, Status::Found};
}

std::string NativePath::homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        return pw->pw_dir;
    }
    return "/";
}

} // namespace slidevane
