#pragma once

#include "adapters/posix/NativePath.h"
#include "shell/GifStructure.h"

#include <QImage>
#include <QString>
#include <string>

// One picture file named the way the catalogue names it (backslashes, maybe a drive letter, maybe
// ending in its stored NUL), resolved to a native path and decoded afresh on every read.
//
// Owns: path resolution errors (53, 76), the decoding limits and the decoding error (481). It
// does not own what the picture is shown in (QtWindow).
namespace slidevane {

class DecodedPictures;

class PictureFile {
public:
    // No picture of the layout comes near this; a header claiming more is refused before any
    // pixel memory is allocated for it.
    static constexpr int MaxSide = GifStructure::MaxSide;
    static constexpr int AllocationLimitMiB = 64;
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    // Resolves `catalogPath`; throws RuntimeError 76 when a folder is missing, 53 when the file is.
    static PictureFile Open(const NativePath& paths, const std::string& catalogPath);
    // A picture stored with the program (a Qt resource path); a null image when it cannot be read.
    static QImage ReadStored(const QString& resourcePath);

    // Reads the file now; throws RuntimeError 481 when it is not a readable picture of sane size.
    // The picture comes in the format the window paints fastest: RGB32 when it is opaque.
    QImage Decode(DecodedPictures& decoded) const;
    const QString& LocalPath() const { return native_; }

private:
    PictureFile(std::string catalogPath, QString native);

    std::string catalogPath_;
    QString native_;
};

} // namespace slidevane
