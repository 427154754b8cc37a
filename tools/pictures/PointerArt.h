#pragma once

#include "IndexedImage.h"

#include <cstdint>
#include <vector>

namespace slidevane {

// The hand pointer shown over clickable parts: a white pointing hand with a blue cuff, 32 x 32
// in 16 colours, hot spot at the index fingertip. Drawn as a pixel map because a pointer
// needs exact one-pixel outlines. Knows nothing about the file format.
class PointerArt {
public:
    static constexpr int Size = 32;
    static constexpr int HotX = 12;
    static constexpr int HotY = 1;

    // Palette picture plus mask (1 = transparent).
    static IndexedImage Draw(std::vector<std::uint8_t>& mask);
};

} // namespace slidevane
