#include "GifFile.h"

#include <QFile>
#include <gif_lib.h>
#include <stdexcept>
#include <vector>

namespace slidevane::test {

namespace {

void Write(const QString& path, int width, int height, QColor colour, bool transparentRight) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
    if (gif == nullptr) {
        throw std::runtime_error("cannot create " + path.toStdString());
    }
    GifColorType colours[2] = {{static_cast<GifByteType>(colour.red()),
                                static_cast<GifByteType>(colour.green()),
                                static_cast<GifByteType>(colour.blue())},
                               {0, 0, 0}};
    ColorMapObject* map = GifMakeMapObject(2, colours);
    bool ok = EGifPutScreenDesc(gif, width, height, 1, 0, map) == GIF_OK;
    if (ok && transparentRight) {
        EGifSetGifVersion(gif, true);
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, 1};
        GifByteType extension[4];
        std::size_t const length = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
             GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> row(static_cast<std::size_t>(width), 0);
    for (int x = width / 2; transparentRight && x < width; ++x) {
        row[static_cast<std::size_t>(x)] = 1;
    }
    for (int y = 0; ok && y < height; ++y) {
        ok = EGifPutLine(gif, row.data(), width) == GIF_OK;
    }
    GifFreeMapObject(map);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    if (!ok) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

} // namespace

void GifFile::WriteSolid(const QString& path, int width, int height, QColor colour) {
    Write(path, width, height, colour, false);
}

void GifFile::WriteHalfTransparent(const QString& path, int width, int height, QColor colour) {
    Write(path, width, height, colour, true);
}

void GifFile::WriteClaimingSize(const QString& path, int width, int height) {
    QByteArray size;
    for (int side : {width, height}) {
        size.append(static_cast<char>(side & 0xff)).append(static_cast<char>((side >> 8) & 0xff));
    }
    QByteArray bytes("GIF89a");
    bytes.append(size);
    bytes.append('\x80').append('\0').append('\0'); // global table of 2 colours
    bytes.append(QByteArray("\xff\x00\x00\x00\x00\xff", 6));
    bytes.append(',').append(QByteArray(4, '\0')).append(size);
    bytes.append('\0');                                                  // no local table
    bytes.append('\x02').append('\x02').append("\x44\x01").append('\0'); // a little LZW data
    bytes.append(';');
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

} // namespace slidevane::test
