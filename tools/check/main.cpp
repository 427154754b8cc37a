// slidevane3-check: prints what the program will see of the installed pack.
#include "PackChecker.h"
#include "adapters/posix/ImpressInstallRecord.h"
#include "adapters/posix/NativePath.h"
#include "adapters/posix/RegistryFileStore.h"

#include <cstring>
#include <iostream>

namespace {

constexpr const char* Help = R"(Usage: slidevane3-check [--help]

Reads the template pack's catalogue exactly as Slidevane3 does and prints what the program
will see: the install, UI and template folders; the ten category titles; for each category its
three template entries (in the catalogue or not, and whether the file exists); and every
picture file the program can load (strip pictures a/b/c of each category, preview pictures
a/b/c 4-6 with -b only where the template exists, www-1 and www-2), each marked found or
missing after resolving the path as the program does.

The catalogue is read from the registry files of SLIDEVANE3_REGISTRY (a ':'-separated list
of files and folders) when set, else from the Wine prefix's system.reg,
/etc/slidevane3/registry.d, <prefix>/share/slidevane3/registry.d and
${XDG_DATA_HOME:-~/.local/share}/slidevane3/registry.d.

Exit status:
  0  nothing the program needs is missing
  1  something is missing (a title, a template file, a picture)
  2  the catalogue itself cannot be read (error 17 or 5)
)";

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        bool const help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        (help ? std::cout : std::cerr) << Help;
        return help ? 0 : 2;
    }
    using namespace slidevane;
    RegistryFileStore store(RegistryFileStore::defaultSearchList(SLIDEVANE3_INSTALL_PREFIX));
    ImpressInstallRecord registry(store);
    NativePath const paths = NativePath::fromEnvironment();
    PackChecker checker(registry, [&paths](const std::string& path) {
        NativePath::Resolution const resolution = paths.resolve(path);
        PathState const state = resolution.status == NativePath::Status::Found ? PathState::Found
                                : resolution.status == NativePath::Status::FileMissing
                                    ? PathState::FileMissing
                                    : PathState::FolderMissing;
        return ResolvedPath{state, resolution.path};
    }, std::cout);
    return checker.Run();
}
