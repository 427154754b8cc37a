// Makes the process's local UNO runtime the way the program does on a double-click, after
// touching the runtime's bootstrap settings the way start-up does, and says whether the office's
// types can be used: "types", or the error the program would report.
#include "LocalUnoRuntime.h"
#include "OfficeProfile.h"
#include "platform/RuntimeError.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--profile-first") == 0) {
        std::printf("pipe %s\n", slidevane::OfficeProfile::PipeName({"soffice"}).c_str());
    }
    try {
        slidevane::LocalUnoRuntime::Context();
        std::printf("types\n");
        return 0;
    } catch (const slidevane::RuntimeError& error) {
        std::printf("%s\n", error.Description().c_str());
        return 1;
    }
}
