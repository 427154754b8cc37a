// Feeds arbitrary bytes to the GIF decoder, cut to a few sizes, and checks what it promises: the
// same verdict as the structure check alone, a picture of the screen cut to the size, and the
// same corner whatever the cut.
#include "picture/GifDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using slidevane::GifDecoder;
using slidevane::GifStructure;

constexpr int LargeCut = 300;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view const bytes(reinterpret_cast<const char*>(data), size);
    GifDecoder::Result const large = GifDecoder::Decode(bytes, LargeCut, LargeCut);
    Require(large.verdict == GifStructure::Check(bytes, GifStructure::MaxSide));
    if (large.verdict != GifStructure::Verdict::Whole) {
        Require(large.picture.pixels.empty());
        return 0;
    }
    Require(large.picture.pixels.size() ==
            static_cast<std::size_t>(large.picture.width) * large.picture.height);
    for (std::uint32_t const pixel : large.picture.pixels) {
        Require(pixel >> 24 == 0xff || (pixel == 0 && large.picture.transparent));
    }
    for (auto [width, height] : {std::pair{1, 1}, std::pair{37, 11}, std::pair{LargeCut, 2}}) {
        GifDecoder::Result const cut = GifDecoder::Decode(bytes, width, height);
        Require(cut.verdict == GifStructure::Verdict::Whole);
        Require(cut.picture.width == std::min(width, large.picture.width));
        Require(cut.picture.height == std::min(height, large.picture.height));
        Require(cut.picture.transparent == large.picture.transparent);
        for (int y = 0; y < cut.picture.height; ++y) {
            for (int x = 0; x < cut.picture.width; ++x) {
                Require(cut.picture.pixels[y * cut.picture.width + x] ==
                        large.picture.pixels[y * large.picture.width + x]);
            }
        }
    }
    return 0;
}
