#include "adapters/qt/PictureFile.h"

#include "adapters/qt/DecodedPictures.h"
#include "shell/GifStructure.h"
#include "shell/RuntimeError.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace slidevane {

PictureFile::PictureFile(std::string catalogPath, QString native)
    : catalogPath_(std::move(catalogPath)), native_(std::move(native)) {}

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
    return PictureFile(catalogPath, QString::fromStdString(resolved.path));
}

QImage PictureFile::ReadStored(const QString& resourcePath) {
    QImageReader reader(resourcePath);
    return reader.read();
}

QImage PictureFile::Decode(DecodedPictures& decoded) const {
    QFile file(native_);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes) {
        throw RuntimeError::InvalidPicture(catalogPath_);
    }
    QByteArray const bytes = file.readAll();
    if (std::optional<QImage> known = decoded.Find(bytes)) {
        return *known;
    }
    // Never through QPixmap(path): its cache is keyed on path, size and modification time and
    // hands back a stale picture for a file rewritten within the same second.
    // Only whole GIF files are pictures here: another format under the name, a file cut short
    // or a claim beyond any picture of the layout is refused before anything is decoded.
    if (!GifStructure::IsWholeGif(std::string_view(bytes.constData(), bytes.size()), MaxSide)) {
        throw RuntimeError::InvalidPicture(catalogPath_);
    }
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "gif");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(AllocationLimitMiB);
    QSize const size = reader.size();
    if (!size.isValid() || size.width() > MaxSide || size.height() > MaxSide) {
        throw RuntimeError::InvalidPicture(catalogPath_);
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        throw RuntimeError::InvalidPicture(catalogPath_);
    }
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32);
    decoded.Keep(bytes, image);
    return image;
}

} // namespace slidevane
