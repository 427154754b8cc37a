#pragma once

#include "IndexedImage.h"

#include <QImage>
#include <filesystem>
#include <vector>

namespace slidevane {

// Writes every picture the program carries from the start into one folder: background,
// thumbnails, main preview, web button, glyphs, strip buttons, icon and hand pointer. Also the
// one place that reduces and writes a drawn picture, so the pack builder shares its pinning.
class StoredPictures {
public:
    static void WriteAll(const std::filesystem::path& folder);

    // Reduces `image` keeping `pinned` exact plus every colour of the shared look, then writes
    // it as GIF. maxColours keeps small previews small on disk.
    static void WriteGif(const QImage& image, const std::filesystem::path& path,
                         const std::vector<Rgb>& pinned = {}, int maxColours = 256);
};

} // namespace slidevane
