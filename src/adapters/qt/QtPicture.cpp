#include "adapters/qt/QtPicture.h"

#include "picture/PictureLoader.h"

#include <QFile>
#include <string_view>

namespace slidevane {

QImage QtPicture::Image(const SharedPicture& picture) {
    if (!picture || picture->pixels.empty()) {
        return {};
    }
    // Alpha is 0 or 255 and a transparent pixel is all 0: the words are valid in both formats.
    auto* keep = new SharedPicture(picture);
    return QImage(
        reinterpret_cast<const uchar*>(picture->pixels.data()), picture->width, picture->height,
        static_cast<qsizetype>(picture->width) * 4,
        picture->transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32,
        [](void* kept) { delete static_cast<SharedPicture*>(kept); }, keep);
}

SharedPicture QtPicture::Stored(const QString& resourcePath) {
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    QByteArray const bytes = file.readAll();
    return PictureLoader::Stored(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace slidevane
