// Makes or removes the pack that the made-pack tests of one ctest run share:
//   pack_fixture make <shared office folder> <folder>
//   pack_fixture clean <folder>
// `make` lays out the source after MadeSource, runs slidevane3-pack on it (the registry file at
// its default place in the scene's data home) and keeps the outcome beside it.
#include "MadeSource.h"
#include "PackScene.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    using namespace slidevane::test;
    namespace fs = std::filesystem;
    bool const make = argc == 4 && std::strcmp(argv[1], "make") == 0;
    bool const clean = argc == 3 && std::strcmp(argv[1], "clean") == 0;
    if (!make && !clean) {
        std::fprintf(stderr, "usage: %s make <office folder> <folder> | clean <folder>\n", argv[0]);
        return 2;
    }
    fs::path const folder = argv[argc - 1];
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (clean) {
        return 0;
    }
    try {
        PackScene scene(folder);
        MadeSource::Lay(
            scene, MadeSource::Layout(fs::path(argv[2]) / "templates", SLIDEVANE3_REAL_TEMPLATES));
        scene.Start({scene.Source().string(), scene.Dest().string()});
        std::ofstream(folder / "pid") << scene.Pid();
        PackScene::Outcome const outcome = scene.Wait();
        std::ofstream(folder / "outcome")
            << outcome.exitCode << ' ' << outcome.signal << ' ' << outcome.seconds << '\n';
        std::fputs(outcome.out.c_str(), stdout);
        std::fputs(outcome.err.c_str(), stderr);
        return outcome.exitCode == 0 ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
