#pragma once

#include "IndexedImage.h"

#include <filesystem>

namespace slidevane {

// Writes palette pictures as GIF through giflib: one frame, no transparency, palette padded to
// the next power of two as the format wants. Knows nothing about what the picture shows.
class GifWriter {
public:
    // Throws std::runtime_error with giflib's message when the file cannot be written.
    static void Write(const IndexedImage& image, const std::filesystem::path& path);
};

} // namespace slidevane
