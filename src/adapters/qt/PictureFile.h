#pragma once

#include "adapters/posix/NativePath.h"
#include "picture/GifStructure.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <string>

// One picture file named the way the catalogue names it (backslashes, maybe a drive letter, maybe
// ending in its stored NUL), resolved to a native path and read and decoded afresh on every load.
//
// Owns: path resolution errors (53, 76), how a picture file is read (a regular file only, never
// waited on, at most MaxFileBytes) and the decoding error (481). It does not own the GIF rules
// (GifStructure, shared with the pack checker) nor what the picture is shown in (QtWindow).
namespace slidevane {

class DecodedPictures;

class PictureFile {
public:
    // No picture of the layout comes near this; a header claiming more is refused before any
    // pixel memory is allocated for it.
    static constexpr int MaxSide = GifStructure::MaxSide;
    static constexpr std::size_t MaxFileBytes = GifStructure::MaxFileBytes;

    // Resolves `catalogPath`; throws RuntimeError 76 when a folder is missing, 53 when the file is.
    static PictureFile Open(const NativePath& paths, const std::string& catalogPath);
    // A picture stored with the program (a Qt resource path); a null image when it cannot be read.
    static QImage ReadStored(const QString& resourcePath);

    // Reads the file now and gives the part of its picture that a control of size `shown`
    // shows (drawn 1:1 from its top-left corner). Throws RuntimeError 481 when it is not a whole
    // GIF of sane size or not a readable regular file, 53 when it went missing since Open. The
    // picture comes in the format the window paints fastest: RGB32 when it is opaque.
    QImage Decode(DecodedPictures& decoded, QSize shown) const;
    const QString& LocalPath() const { return native_; }

private:
    PictureFile(std::string catalogPath, std::string native);

    std::string catalogPath_;
    std::string nativeBytes_; // opened as resolved: a name need not be valid UTF-8
    QString native_;
};

} // namespace slidevane
