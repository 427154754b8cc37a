#pragma once

#include "Rgb.h"

#include <cstdint>
#include <vector>

namespace slidevane {

// A palette picture as the file writers want it: row-major indices into at most 256 colours.
// It owns no knowledge of how it was made or where it goes.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> pixels;

    Rgb At(int x, int y) const { return palette[pixels[static_cast<std::size_t>(y) * width + x]]; }
};

} // namespace slidevane
