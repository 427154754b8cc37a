// The keeper of an office the program started ahead: started by the program with the office's
// pipe, its launcher's process id (the office's group) and its profile, and the read end of a
// pipe on standard input whose write end only the program holds. When the program ends, however
// it ends, the keeper ends that office unless it holds a document.
#include "adapters/uno/OfficeKeeper.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    using namespace slidevane;
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PIPE GROUP PROFILE-URL (started by slidevane3)\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    long const group = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || group <= 1) {
        std::fprintf(stderr, "%s: %s is not an office's group\n", argv[0], argv[2]);
        return 2;
    }
    try {
        OfficeKeeper keeper({argv[1], argv[3], OfficeGroup(static_cast<pid_t>(group))});
        keeper.Run(0);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
}
