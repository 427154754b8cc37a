// slidevane3-check: prints what the program will see of the installed pack.
#include "PackChecker.h"
#include "PackFiles.h"
#include "adapters/posix/ImpressInstallRecord.h"
#include "adapters/posix/NativePath.h"
#include "adapters/posix/RegistryFileStore.h"

#include <cstring>
#include <iostream>

namespace {

// Its own delimiter: the text holds a parenthesis followed by a quote.
constexpr const char* Help = R"help(Usage: slidevane3-check [--help]

Reads the template pack's catalogue exactly as Slidevane3 does and prints what the program
will see: the install, UI and template folders; the ten category titles; for each category its
three template entries; and every picture file the program can load (strip pictures a/b/c of
each category, preview pictures a/b/c 4-6 with -b only where the template exists, www-1 and
www-2). Each file is resolved as the program resolves it and marked:

  found                       the program can use it
  MISSING (file not found)    error 53 when the program needs it
  MISSING (folder not found)  error 76 when the program needs it
  UNUSABLE ...: <why>         the program would fail on it

A picture must pass the program's own checks: a regular file (not a folder, FIFO, socket or
device), readable, at most 32 MiB, and a whole GIF picture of at most 4096 x 4096 pixels;
otherwise the program reports error 481 (Invalid picture). The reasons given are such as
"not a regular file (a FIFO)", "cannot be read: Permission denied", "empty", "not a GIF
picture", "truncated GIF", "damaged GIF" and "GIF larger than 4096 x 4096 pixels".
A template must be a regular, readable file in a format the office opens as a presentation:
an ODF package (presentation or presentation template), an OLE compound file (the 97-2003
binary formats), an OOXML package or a flat ODF presentation; otherwise the reason is given,
such as "empty" or "not a presentation file".

The catalogue is read from the registry files of SLIDEVANE3_REGISTRY (a ':'-separated list
of files and folders) when set, else from the Wine prefix's system.reg,
/etc/slidevane3/registry.d, <prefix>/share/slidevane3/registry.d and
${XDG_DATA_HOME:-~/.local/share}/slidevane3/registry.d.

Exit status:
  0  every file the program needs is there and usable
  1  something is missing or unusable (a title, a template file, a picture)
  2  the catalogue itself cannot be read (error 17 or 5)
)help";

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
    PackFiles const files(NativePath::fromEnvironment());
    PackChecker checker(registry, files, std::cout);
    return checker.Run();
}
