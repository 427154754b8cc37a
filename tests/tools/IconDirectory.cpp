#include "IconDirectory.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace slidevane {

namespace {

std::uint32_t Get(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    if (at + bytes > b.size())
        throw std::runtime_error("icon file cut short");
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + i];
    return v;
}

} // namespace

IconDirectory::IconDirectory(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    if (Get(bytes_, 0, 2) != 0)
        throw std::runtime_error("not an icon file");
    type_ = static_cast<int>(Get(bytes_, 2, 2));
    const int count = static_cast<int>(Get(bytes_, 4, 2));
    for (int i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * static_cast<std::size_t>(i);
        Image image{};
        image.width = bytes_.at(e) == 0 ? 256 : bytes_.at(e);
        image.height = bytes_.at(e + 1) == 0 ? 256 : bytes_.at(e + 1);
        image.colourCount = bytes_.at(e + 2);
        image.field4 = static_cast<int>(Get(bytes_, e + 4, 2));
        image.field6 = static_cast<int>(Get(bytes_, e + 6, 2));
        image.size = Get(bytes_, e + 8, 4);
        image.offset = Get(bytes_, e + 12, 4);
        if (std::size_t{image.offset} + image.size > bytes_.size())
            throw std::runtime_error("icon image runs past the end of the file");
        image.headerWidth = static_cast<int>(Get(bytes_, image.offset + 4, 4));
        image.headerHeight = static_cast<int>(Get(bytes_, image.offset + 8, 4));
        image.bitCount = static_cast<int>(Get(bytes_, image.offset + 14, 2));
        images_.push_back(image);
    }
}

bool IconDirectory::Transparent(std::size_t index, int x, int y) const {
    const Image& image = images_.at(index);
    const std::size_t palette = 4u << image.bitCount;
    const std::size_t xorStride =
        static_cast<std::size_t>((image.width * image.bitCount + 31) / 32) * 4;
    const std::size_t andStride = static_cast<std::size_t>((image.width + 31) / 32) * 4;
    const std::size_t andStart = image.offset + 40 + palette + xorStride * image.height;
    const std::size_t row = static_cast<std::size_t>(image.height - 1 - y); // stored bottom-up
    return (bytes_.at(andStart + row * andStride + x / 8) & (0x80 >> (x % 8))) != 0;
}

} // namespace slidevane
