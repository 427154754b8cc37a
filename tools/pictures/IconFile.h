#pragma once

#include "IndexedImage.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace slidevane {

// Builds an icon (.ico) or pointer (.cur) file: a directory of 16-colour (4 bits per pixel)
// device-independent bitmaps, each followed by its 1-bit AND mask. The pictures must already be
// reduced to 16 colours; this class only lays out the bytes.
class IconFile {
public:
    enum class Kind : std::uint16_t { Icon = 1, Pointer = 2 };

    explicit IconFile(Kind kind) : kind_(kind) {}

    // mask has one byte per pixel, 1 where the screen shows through. The hot spot only
    // matters for pointers.
    void Add(const IndexedImage& image, const std::vector<std::uint8_t>& mask, int hotX = 0,
             int hotY = 0);

    std::vector<std::uint8_t> Bytes() const;
    void Save(const std::filesystem::path& path) const;

private:
    struct Frame {
        IndexedImage image;
        std::vector<std::uint8_t> mask;
        int hotX;
        int hotY;
    };
    Kind kind_;
    std::vector<Frame> frames_;
};

} // namespace slidevane
