#pragma once

#include <cstddef>
#include <string_view>

// Walks a GIF file's blocks without decoding any pixels, to refuse what is not one whole GIF
// picture before a decoder sees it: another format under a .gif name, a file cut short (no
// trailer), or a screen or image larger than any picture of the layout could be.
//
// Owns: the block structure rules only. It does not decode; each platform's picture loader does
// that afterwards, and each may otherwise take formats that are no pictures of this program.
namespace slidevane {

class GifStructure {
public:
    // Far beyond any picture of the layout (the largest is 419 x 290), far below what would cost
    // real memory to decode.
    static constexpr int MaxSide = 4096;

    // True when `bytes` are a GIF signature, a screen of at most maxSide x maxSide pixels, and a
    // complete run of blocks holding at least one image no larger than that, ending in the
    // trailer.
    static bool IsWholeGif(std::string_view bytes, int maxSide);
};

} // namespace slidevane
