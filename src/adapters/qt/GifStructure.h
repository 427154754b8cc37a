#pragma once

#include <cstddef>
#include <string_view>

// Walks a GIF file's blocks without decoding any pixels, to refuse what is not one whole GIF
// picture before a decoder sees it: another format under a .gif name, a file cut short (no
// trailer), or a screen or image larger than any picture of the layout could be.
//
// Owns: the block structure rules only. It does not decode; Qt's reader does that afterwards.
namespace slidevane {

class GifStructure {
public:
    // True when `bytes` are a GIF signature, a screen of at most maxSide x maxSide pixels, and a
    // complete run of blocks holding at least one image no larger than that, ending in the
    // trailer.
    static bool IsWholeGif(std::string_view bytes, int maxSide);
};

} // namespace slidevane
