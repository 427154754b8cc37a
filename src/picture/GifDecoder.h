#pragma once

#include "picture/GifStructure.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Turns a whole GIF file into the pixels of its first image on its screen, as a picture control
// shows it: 1:1 from the top-left corner, cut to the control. Only the rows and columns that the
// cut keeps are spelt out and stored, so a 4096 x 4096 picture shown in an 88 x 17 control costs
// its file's codes and 88 x 17 pixels, never 64 MiB.
//
// Outside the first image the screen shows its background colour, or nothing (transparent) when
// the image has a transparent colour; a colour index beyond the colour table is black.
//
// Owns: the canvas, the colour lookup and the interlaced row order. It does not decide what a
// whole file is (GifStructure) nor how a platform paints the pixels (its adapter).
namespace slidevane {

struct GifPicture {
    int width = 0; // the screen cut to the clip
    int height = 0;
    bool transparent = false;          // the first image has a transparent colour
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB row by row, alpha 0 (then all 0) or 255
};

class GifDecoder {
public:
    struct Result {
        GifStructure::Verdict verdict = GifStructure::Verdict::NotGif;
        GifPicture picture; // empty unless the verdict is Whole
    };

    // The first image of `bytes`, only its top-left clipWidth x clipHeight pixels.
    static Result Decode(std::string_view bytes, int clipWidth, int clipHeight);
};

} // namespace slidevane
