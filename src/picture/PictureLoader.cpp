#include "picture/PictureLoader.h"

#include "platform/RuntimeError.h"

#include <algorithm>

namespace slidevane {

SharedPicture PictureLoader::Load(const std::string& path, int width, int height) {
    std::string bytes = files_.ReadPictureFile(path, MaxFileBytes);
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (SharedPicture known = decoded_.Find(bytes, width, height)) {
        return known;
    }
    // Only whole GIF files are pictures here: another format under the name, a file cut short
    // or a claim beyond any picture of the layout is refused before a pixel is kept.
    GifDecoder::Result result = GifDecoder::Decode(bytes, width, height);
    if (result.verdict != GifStructure::Verdict::Whole) {
        throw RuntimeError::InvalidPicture(path);
    }
    auto picture = std::make_shared<const GifPicture>(std::move(result.picture));
    decoded_.Keep(std::move(bytes), width, height, picture);
    return picture;
}

SharedPicture PictureLoader::Stored(std::string_view bytes) {
    GifDecoder::Result result =
        GifDecoder::Decode(bytes, GifStructure::MaxSide, GifStructure::MaxSide);
    if (result.verdict != GifStructure::Verdict::Whole) {
        return nullptr;
    }
    return std::make_shared<const GifPicture>(std::move(result.picture));
}

} // namespace slidevane
