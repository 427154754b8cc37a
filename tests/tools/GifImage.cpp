#include "GifImage.h"

#include <gif_lib.h>
#include <stdexcept>

namespace slidevane {

GifImage::GifImage(const std::filesystem::path& path) {
    int error = 0;
    gif_ = DGifOpenFileName(path.c_str(), &error);
    if (gif_ == nullptr)
        throw std::runtime_error("cannot open " + path.string());
    if (DGifSlurp(gif_) != GIF_OK || gif_->ImageCount < 1) {
        DGifCloseFile(gif_, &error);
        gif_ = nullptr;
        throw std::runtime_error("cannot decode " + path.string());
    }
}

GifImage::~GifImage() {
    int error = 0;
    if (gif_ != nullptr)
        DGifCloseFile(gif_, &error);
}

int GifImage::Width() const {
    return gif_->SWidth;
}
int GifImage::Height() const {
    return gif_->SHeight;
}

int GifImage::PaletteSize() const {
    const ColorMapObject* map = gif_->SavedImages[0].ImageDesc.ColorMap
                                    ? gif_->SavedImages[0].ImageDesc.ColorMap
                                    : gif_->SColorMap;
    return map ? map->ColorCount : 0;
}

GifImage::Colour GifImage::At(int x, int y) const {
    const SavedImage& frame = gif_->SavedImages[0];
    const GifImageDesc& d = frame.ImageDesc;
    if (x < d.Left || y < d.Top || x >= d.Left + d.Width || y >= d.Top + d.Height)
        throw std::out_of_range("pixel outside the first frame");
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif_->SColorMap;
    const int index = frame.RasterBits[(y - d.Top) * d.Width + (x - d.Left)];
    if (map == nullptr || index >= map->ColorCount)
        throw std::runtime_error("pixel index outside the palette");
    const GifColorType c = map->Colors[index];
    return Colour{c.Red, c.Green, c.Blue};
}

std::string ToString(const GifImage::Colour& c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ")";
}

} // namespace slidevane
