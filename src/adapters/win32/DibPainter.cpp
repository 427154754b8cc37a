#include "adapters/win32/DibPainter.h"

namespace slidevane {

void DibPainter::Draw(HDC dc, const std::uint32_t* pixels, int width, int height, int x, int y) {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32; // blue in the low byte: the words of the picture as they are
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS);
}

} // namespace slidevane
