#include "adapters/qt/IconFile.h"

#include <cstdint>

namespace slidevane {

namespace {

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}
    bool Has(qsizetype offset, qsizetype count) const {
        return offset >= 0 && count >= 0 && offset <= bytes_.size() - count;
    }
    std::uint32_t U8(qsizetype at) const { return static_cast<std::uint8_t>(bytes_[at]); }
    std::uint32_t U16(qsizetype at) const { return U8(at) | U8(at + 1) << 8; }
    std::uint32_t U32(qsizetype at) const { return U16(at) | U16(at + 2) << 16; }

private:
    const QByteArray& bytes_;
};

constexpr int MaxSide = 256;

// A device-independent bitmap twice as high as the image (colours, then the 1-bit mask), rows
// bottom-up, each row padded to four bytes.
QImage DecodeBitmap(const Reader& in, qsizetype at) {
    if (!in.Has(at, 40) || in.U32(at) < 40) {
        return {};
    }
    auto const width = static_cast<int>(in.U32(at + 4));
    auto const height = static_cast<int>(in.U32(at + 8)) / 2;
    int const bits = static_cast<int>(in.U16(at + 14));
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide || in.U32(at + 16) != 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        return {};
    }
    qsizetype const paletteAt = at + in.U32(at);
    qsizetype colours = 0;
    if (bits <= 8) {
        colours = in.U32(at + 32) != 0 ? in.U32(at + 32) : (1 << bits);
        if (colours > (1 << bits)) {
            return {};
        }
    }
    qsizetype const pixelsAt = paletteAt + colours * 4;
    qsizetype const rowBytes = ((qsizetype(width) * bits + 31) / 32) * 4;
    qsizetype const maskAt = pixelsAt + rowBytes * height;
    qsizetype const maskRowBytes = ((qsizetype(width) + 31) / 32) * 4;
    if (!in.Has(paletteAt, colours * 4) || !in.Has(pixelsAt, rowBytes * height) ||
        !in.Has(maskAt, maskRowBytes * height)) {
        return {};
    }
    QImage image(width, height, QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        qsizetype const row = pixelsAt + rowBytes * (height - 1 - y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bits <= 8) {
                qsizetype const bit = qsizetype(x) * bits;
                std::uint32_t const byte = in.U8(row + bit / 8);
                std::uint32_t const index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= static_cast<std::uint32_t>(colours)) {
                    return {};
                }
                qsizetype const c = paletteAt + index * 4;
                line[x] = qRgb(in.U8(c + 2), in.U8(c + 1), in.U8(c));
            } else {
                qsizetype const p = row + qsizetype(x) * (bits / 8);
                std::uint32_t const alpha = bits == 32 ? in.U8(p + 3) : 255;
                anyAlpha = anyAlpha || (bits == 32 && alpha != 0);
                line[x] = qRgba(in.U8(p + 2), in.U8(p + 1), in.U8(p), alpha);
            }
        }
    }
    // True-colour images with an alpha channel carry their own transparency; all others use the
    // mask, where a set bit is transparent.
    if (!anyAlpha) {
        for (int y = 0; y < height; ++y) {
            qsizetype const row = maskAt + maskRowBytes * (height - 1 - y);
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                bool const transparent = (in.U8(row + x / 8) >> (7 - x % 8)) & 1;
                line[x] = transparent ? qRgba(0, 0, 0, 0) : (line[x] | 0xff000000u);
            }
        }
    }
    return image;
}

} // namespace

QList<IconFile::Image> IconFile::Decode(const QByteArray& file) {
    Reader const in(file);
    QList<Image> images;
    if (!in.Has(0, 6) || in.U16(0) != 0 || (in.U16(2) != 1 && in.U16(2) != 2)) {
        return images;
    }
    bool const cursor = in.U16(2) == 2;
    std::uint32_t const count = in.U16(4);
    for (std::uint32_t i = 0; i < count; ++i) {
        qsizetype const entry = 6 + qsizetype(i) * 16;
        if (!in.Has(entry, 16)) {
            return {};
        }
        qsizetype const offset = in.U32(entry + 12);
        QImage picture;
        if (in.Has(offset, 8) && file.mid(offset, 8) == QByteArray("\x89PNG\r\n\x1a\n", 8)) {
            picture = QImage::fromData(file.mid(offset, in.U32(entry + 8)), "PNG")
                          .convertToFormat(QImage::Format_ARGB32);
        } else {
            picture = DecodeBitmap(in, offset);
        }
        if (picture.isNull()) {
            return {};
        }
        QPoint const hotSpot = cursor ? QPoint(static_cast<int>(in.U16(entry + 4)),
                                               static_cast<int>(in.U16(entry + 6)))
                                      : QPoint();
        images.append({picture, hotSpot});
    }
    return images;
}

} // namespace slidevane
