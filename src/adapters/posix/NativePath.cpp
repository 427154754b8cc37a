#include "adapters/posix/NativePath.h"

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/TextCodec.h"

#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace slidevane {

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string join(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

// The entry of folder whose name equals name but for case; the first in byte order when
// several do. Empty when none does.
std::string caseInsensitiveMatch(const std::string& folder, std::string_view name) {
    const std::u16string wanted = CaseFold::fold(TextCodec::fromUtf8(name));
    std::string best;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return best;
    }
    while (const dirent* d = ::readdir(dir)) {
        const std::string_view entry = d->d_name;
        if (entry == "." || entry == "..") {
            continue;
        }
        if (CaseFold::fold(TextCodec::fromUtf8(entry)) == wanted &&
            (best.empty() || entry < best)) {
            best = entry;
        }
    }
    ::closedir(dir);
    return best;
}

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
        const std::string link = join(dosDevices_, drive);
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

    // The common case: everything exists as spelt, one stat.
    std::string exact = base;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        exact = i == 0 && exact.empty() ? std::string(parts[i]) : join(exact, parts[i]);
    }
    if (folderOnly && !exact.empty() && exact.back() != '/') {
        exact += '/';
    }
    struct stat st {};
    if (::stat(exact.empty() ? "." : exact.c_str(), &st) == 0 &&
        (!folderOnly || S_ISDIR(st.st_mode))) {
        return {exact, Status::Found};
    }

    std::string resolved = base;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const bool mustBeFolder = !last || folderOnly;
        std::string candidate = resolved.empty() ? std::string(parts[i]) : join(resolved, parts[i]);
        bool present = ::stat(candidate.c_str(), &st) == 0;
        if (!present) {
            const std::string match = caseInsensitiveMatch(resolved, parts[i]);
            if (!match.empty()) {
                candidate = resolved.empty() ? match : join(resolved, match);
                present = ::stat(candidate.c_str(), &st) == 0;
            }
        }
        if (!present || (mustBeFolder && !S_ISDIR(st.st_mode))) {
            std::string missing = candidate;
            for (std::size_t j = i + 1; j < parts.size(); ++j) {
                missing = join(missing, parts[j]);
            }
            return {missing, mustBeFolder ? Status::FolderMissing : Status::FileMissing};
        }
        resolved = std::move(candidate);
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
