#include "GifWriter.h"

#include <gif_lib.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace slidevane {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, int error) {
    const char* text = GifErrorString(error);
    throw std::runtime_error("cannot write " + path.string() + ": " +
                             (text ? text : "giflib error"));
}

} // namespace

void GifWriter::Write(const IndexedImage& image, const std::filesystem::path& path) {
    if (image.palette.empty() || image.palette.size() > 256 || image.width <= 0 ||
        image.height <= 0)
        throw std::invalid_argument("not a writable palette picture: " + path.string());
    int bits = 1;
    while ((1u << bits) < image.palette.size())
        ++bits;
    std::vector<GifColorType> colours(1u << bits, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < image.palette.size(); ++i)
        colours[i] = GifColorType{image.palette[i].r, image.palette[i].g, image.palette[i].b};

    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    if (map == nullptr)
        throw std::runtime_error("giflib could not build a colour map");
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (gif == nullptr) {
        GifFreeMapObject(map);
        Fail(path, error);
    }
    bool ok = EGifPutScreenDesc(gif, image.width, image.height, bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> row(static_cast<std::size_t>(image.width));
    for (int y = 0; ok && y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x)
            row[x] = image.pixels[static_cast<std::size_t>(y) * image.width + x];
        ok = EGifPutLine(gif, row.data(), image.width) == GIF_OK;
    }
    error = gif->Error;
    int closeError = 0;
    const bool closed = EGifCloseFile(gif, &closeError) == GIF_OK;
    GifFreeMapObject(map);
    if (!ok)
        Fail(path, error);
    if (!closed)
        Fail(path, closeError);
    // giflib creates files readable by the owner only; these are committed, so open them up.
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);
}

} // namespace slidevane
