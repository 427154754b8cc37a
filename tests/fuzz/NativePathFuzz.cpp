// Resolves arbitrary text as a path below drive C: of a small Wine-like prefix that the target
// makes once in a temporary folder: folders and files in mixed case, two names that differ only
// in case, non-ASCII names, a symbolic link loop, a dangling link and a named pipe. A path that
// would climb out of the drive is skipped, so every run sees the same tree. A path found must
// exist (as a folder when it ends in a separator) and be one the system can open; resolving
// twice gives the same answer; any resolution must end (the run's timeout catches one that does
// not).
#include "adapters/posix/NativePath.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using slidevane::NativePath;

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

class Prefix {
public:
    Prefix() {
        std::string pattern = (fs::temp_directory_path() / "slidevane3-fuzz-XXXXXX").string();
        check(::mkdtemp(pattern.data()) != nullptr);
        root_ = pattern;
        const fs::path c = root_ / "drive_c";
        for (const char* file : {"Norvale/PACK/TEMPLATE/Slide 1.POT",
                                 "Norvale/PACK/UI/b_Blue a.gif", "Norvale/pack/ui/B_BLUE A.GIF",
                                 "Norvale/\xC3\x9C"
                                 "ber/\xC3\xA9t\xC3\xA9.gif",
                                 "file"}) {
            fs::create_directories((c / file).parent_path());
            std::ofstream(c / file) << "x";
        }
        fs::create_symlink("loop", c / "loop");
        fs::create_symlink("nowhere", c / "dangling");
        fs::create_directory_symlink("Norvale/PACK", c / "pack link");
        check(::mkfifo((c / "pipe").c_str(), 0600) == 0);
        fs::create_directories(root_ / "dosdevices");
        fs::create_directory_symlink("../drive_c", root_ / "dosdevices/c:");
    }
    ~Prefix() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::string dosDevices() const { return (root_ / "dosdevices").string(); }

private:
    fs::path root_;
};

// True when no prefix of the path climbs above the drive's root with "..".
bool staysOnTheDrive(std::string_view path) {
    path = path.substr(0, path.find('\0'));
    long depth = 0;
    while (!path.empty()) {
        const std::size_t end = path.find_first_of("\\/");
        const std::string_view part = path.substr(0, end);
        if (part == "..") {
            if (--depth < 0) {
                return false;
            }
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        path = end == std::string_view::npos ? std::string_view() : path.substr(end + 1);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Prefix prefix;
    static const NativePath paths(prefix.dosDevices());
    const std::string tail(reinterpret_cast<const char*>(data), size);
    if (!staysOnTheDrive(tail)) {
        return 0;
    }
    const std::string windowsPath = "C:\\" + tail;
    const NativePath::Resolution r = paths.resolve(windowsPath);
    const NativePath::Resolution again = paths.resolve(windowsPath);
    check(r.status == again.status && r.path == again.path);
    if (r.status == NativePath::Status::Found) {
        struct stat st {};
        check(r.path.size() < PATH_MAX);
        check(::stat(r.path.c_str(), &st) == 0);
        const std::string_view cut =
            std::string_view(windowsPath).substr(0, windowsPath.find('\0'));
        if (!cut.empty() && (cut.back() == '\\' || cut.back() == '/')) {
            check(S_ISDIR(st.st_mode));
        }
    } else {
        check(!r.path.empty());
    }
    return 0;
}
