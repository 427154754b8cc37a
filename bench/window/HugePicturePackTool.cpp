// Writes the pack of 4096 x 4096 pictures (HugePicturePack) for the Win32 window's figures:
//   huge_picture_pack FOLDER PACK_REGISTRY_FILE
// The pack's UI folder goes to FOLDER/huge-pack/UI; prints that pack's folder.
#include "HugePicturePack.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: huge_picture_pack FOLDER PACK_REGISTRY_FILE\n");
        return 2;
    }
    if (slidevane::bench::WriteHugePicturePack(argv[1], argv[2]).empty()) {
        std::fprintf(stderr, "cannot read the pack of %s\n", argv[2]);
        return 1;
    }
    std::printf("%s\n", (std::filesystem::path(argv[1]) / "huge-pack").c_str());
    return 0;
}
