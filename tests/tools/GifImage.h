#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

struct GifFileType;

namespace slidevane {

// A decoded GIF's first frame, read with giflib, as the tests need it: size and the exact RGB
// of any pixel. Owns no knowledge of what the picture should show.
class GifImage {
public:
    struct Colour {
        int r, g, b;
        friend bool operator==(const Colour&, const Colour&) = default;
    };

    // Throws std::runtime_error when the file is missing or not a GIF.
    explicit GifImage(const std::filesystem::path& path);
    ~GifImage();
    GifImage(const GifImage&) = delete;
    GifImage& operator=(const GifImage&) = delete;

    int Width() const;
    int Height() const;
    Colour At(int x, int y) const;
    int PaletteSize() const;

private:
    ::GifFileType* gif_ = nullptr;
};

std::string ToString(const GifImage::Colour& c);

} // namespace slidevane
