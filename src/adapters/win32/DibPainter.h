#pragma once

#include "adapters/win32/WindowsApi.h"

#include <cstdint>

// Puts a block of 0xAARRGGBB pixels, row by row from the top, onto a device context 1:1 as a
// device-independent bitmap of 32 bits a pixel. The alpha byte is not looked at: what is
// transparent has been decided before (the controls compose their pictures over the background).
//
// Owns: the bitmap header and the one call that draws. It does not own the pixels.
namespace slidevane {

class DibPainter {
public:
    static void Draw(HDC dc, const std::uint32_t* pixels, int width, int height, int x, int y);
};

} // namespace slidevane
