#include "PointerArt.h"

#include <array>
#include <stdexcept>
#include <string_view>

namespace slidevane {

namespace {

// '.' transparent, K outline, W skin, S crease, N cuff edge, B cuff, L cuff highlight.
constexpr std::array<std::string_view, PointerArt::Size> Map{
    "................................", "...........KKKK.................",
    "..........KWWWWK................", "..........KWWWWK................",
    "..........KWWWWK................", "..........KWWWWK................",
    "..........KWWWWK................", "..........KWWWWK................",
    "..........KWWWWK................", "..........KWWWWKKKKK............",
    "..........KWWWWKWWWWKKKKK.......", "..........KWWWWKWWWWKWWWWKKKK...",
    "..........KWWWWKWWWWKWWWWKWWWK..", "..........KWWWWKWWWWKWWWWKWWWK..",
    ".....KKKKKKWWWWKWWWWKWWWWKWWWK..", "....KWWWWWWWWWWKWWWWKWWWWKWWWK..",
    "...KWWWWWWWWWWWSWWWWSWWWWSWWWK..", "...KWWWWWWWWWWWWWWWWWWWWWWWWWK..",
    "....KWWWWWWWWWWWWWWWWWWWWWWWWK..", ".....KWWWWWWWWWWWWWWWWWWWWWWWK..",
    "......KWWWWWWWWWWWWWWWWWWWWWWK..", ".......KWWWWWWWWWWWWWWWWWWWWWK..",
    "........KWWWWWWWWWWWWWWWWWWWK...", ".........KWWWWWWWWWWWWWWWWWK....",
    ".........NNNNNNNNNNNNNNNNNNN....", ".........NBBBBBBBBBBBBBBBBBN....",
    ".........NLLLLLLLLLLLLLLLLLN....", ".........NBBBBBBBBBBBBBBBBBN....",
    ".........NBBBBBBBBBBBBBBBBBN....", ".........NBBBBBBBBBBBBBBBBBN....",
    ".........NNNNNNNNNNNNNNNNNNN....", "................................",
};

} // namespace

IndexedImage PointerArt::Draw(std::vector<std::uint8_t>& mask) {
    IndexedImage image;
    image.width = Size;
    image.height = Size;
    // Index 0 stays black: masked pixels carry 0 so the screen shows through unchanged.
    image.palette = {{0, 0, 0},    {255, 255, 255}, {176, 176, 176}, {0, 0, 128},
                     {0, 64, 224}, {96, 160, 255},  {0, 0, 0},       {0, 0, 0},
                     {0, 0, 0},    {0, 0, 0},       {0, 0, 0},       {0, 0, 0},
                     {0, 0, 0},    {0, 0, 0},       {0, 0, 0},       {0, 0, 0}};
    image.pixels.assign(Size * Size, 0);
    mask.assign(Size * Size, 0);
    for (int y = 0; y < Size; ++y) {
        if (Map[y].size() != Size)
            throw std::logic_error("pointer map row " + std::to_string(y) + " is not 32 wide");
        for (int x = 0; x < Size; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * Size + x;
            switch (Map[y][x]) {
            case '.':
                mask[at] = 1;
                break;
            case 'K':
                image.pixels[at] = 0;
                break;
            case 'W':
                image.pixels[at] = 1;
                break;
            case 'S':
                image.pixels[at] = 2;
                break;
            case 'N':
                image.pixels[at] = 3;
                break;
            case 'B':
                image.pixels[at] = 4;
                break;
            case 'L':
                image.pixels[at] = 5;
                break;
            default:
                throw std::logic_error("unknown pointer map letter");
            }
        }
    }
    return image;
}

} // namespace slidevane
