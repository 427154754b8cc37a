#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace slidevane {

// Reads an .ico or .cur file's directory and each image's bitmap header, and answers the mask
// bit of any pixel. Enough to check sizes, colour depth and hot spots; it decodes no colours.
class IconDirectory {
public:
    struct Image {
        int width, height;  // from the directory entry
        int colourCount;    // directory entry's colour count
        int field4, field6; // planes/bit count for icons, hot spot x/y for pointers
        std::uint32_t size, offset;
        int headerWidth, headerHeight, bitCount;
    };

    explicit IconDirectory(const std::filesystem::path& path);

    int Type() const { return type_; }
    const std::vector<Image>& Images() const { return images_; }
    // True when the AND mask lets the screen show through at (x, y), top-left origin.
    bool Transparent(std::size_t image, int x, int y) const;

private:
    std::vector<std::uint8_t> bytes_;
    int type_ = 0;
    std::vector<Image> images_;
};

} // namespace slidevane
