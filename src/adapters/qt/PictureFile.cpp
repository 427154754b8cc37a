#include "adapters/qt/PictureFile.h"

#include "adapters/posix/RegularFile.h"
#include "adapters/qt/DecodedPictures.h"
#include "picture/GifDecoder.h"
#include "platform/RuntimeError.h"

#include <QImageReader>
#include <algorithm>
#include <cstring>

namespace slidevane {

namespace {

QImage ToImage(const GifPicture& picture) {
    QImage image(picture.width, picture.height,
                 picture.transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    // Alpha is 0 or 255 and a transparent pixel is all 0: the same words in both formats.
    std::size_t const rowBytes = static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t);
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y),
                    picture.pixels.data() +
                        static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width),
                    rowBytes);
    }
    return image;
}

} // namespace

PictureFile::PictureFile(std::string catalogPath, std::string native)
    : catalogPath_(std::move(catalogPath)), nativeBytes_(std::move(native)),
      native_(QString::fromStdString(nativeBytes_)) {}

PictureFile PictureFile::Open(const NativePath& paths, const std::string& catalogPath) {
    NativePath::Resolution const resolved = paths.resolve(catalogPath);
    switch (resolved.status) {
    case NativePath::Status::Found:
        break;
    case NativePath::Status::FileMissing:
        throw RuntimeError::FileNotFound(catalogPath);
    case NativePath::Status::FolderMissing:
        throw RuntimeError::PathNotFound(catalogPath);
    }
    return PictureFile(catalogPath, resolved.path);
}

QImage PictureFile::ReadStored(const QString& resourcePath) {
    QImageReader reader(resourcePath);
    return reader.read();
}

QImage PictureFile::Decode(DecodedPictures& decoded, QSize shown) const {
    // A FIFO, device, socket or folder under the picture's name (or a symlink to one) is refused
    // at once: never waited on, never read without end.
    RegularFile file(nativeBytes_);
    if (file.status() == RegularFile::Status::Missing) {
        throw RuntimeError::FileNotFound(catalogPath_);
    }
    std::string bytes;
    if (!file.readAll(MaxFileBytes, bytes)) {
        throw RuntimeError::InvalidPicture(catalogPath_);
    }
    shown = shown.expandedTo(QSize(1, 1));
    if (std::optional<QImage> known = decoded.Find(bytes, shown)) {
        return *known;
    }
    // Never through QPixmap(path): its cache is keyed on path, size and modification time and
    // hands back a stale picture for a file rewritten within the same second. Nor through Qt's
    // GIF reader: it decodes every pixel of the file, where a control shows only its corner.
    // Only whole GIF files are pictures here: another format under the name, a file cut short
    // or a claim beyond any picture of the layout is refused.
    GifDecoder::Result const result = GifDecoder::Decode(bytes, shown.width(), shown.height());
    if (result.verdict != GifStructure::Verdict::Whole) {
        throw RuntimeError::InvalidPicture(catalogPath_);
    }
    QImage const image = ToImage(result.picture);
    if (image.isNull()) {
        throw RuntimeError::InvalidPicture(catalogPath_);
    }
    decoded.Keep(std::move(bytes), shown, image);
    return image;
}

} // namespace slidevane
