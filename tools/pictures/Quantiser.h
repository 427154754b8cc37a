#pragma once

#include "IndexedImage.h"
#include "Rgb.h"

#include <QImage>
#include <vector>

namespace slidevane {

// Turns a drawn picture into a palette picture. Colours the look names exactly are pinned: they
// enter the palette unchanged and every pixel of that colour keeps it, whatever else the picture
// holds. No dithering: the artwork is flat and dithered noise would blur rules and text.
// It does not draw and does not write files.
class Quantiser {
public:
    // Up to maxColours entries; exact when the picture has that few colours, otherwise a
    // median cut over the colours that are not pinned.
    static IndexedImage Reduce(const QImage& image, const std::vector<Rgb>& pinned,
                               int maxColours = 256);

    // Maps onto a given palette (nearest colour); pixels with alpha below half go to mask = 1.
    static IndexedImage ToPalette(const QImage& image, const std::vector<Rgb>& palette,
                                  std::vector<std::uint8_t>& mask);
};

} // namespace slidevane
