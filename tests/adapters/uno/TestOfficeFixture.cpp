// Starts or stops the office that the tests of one ctest run share:
//   uno_test_office start|stop <folder>

#include "SharedOffice.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "start") != 0 && std::strcmp(argv[1], "stop") != 0)) {
        std::fprintf(stderr, "usage: %s start|stop <folder>\n", argv[0]);
        return 2;
    }
    try {
        if (std::strcmp(argv[1], "start") == 0) {
            slidevane::testing::SharedOffice::StartInFolder(argv[2]);
        } else {
            slidevane::testing::SharedOffice::StopInFolder(argv[2]);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
