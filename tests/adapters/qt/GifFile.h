#pragma once

#include <QColor>
#include <QString>

// Writes GIF files for the tests with giflib, independently of the Qt reader under test.
namespace slidevane::test {

class GifFile {
public:
    // A picture of one colour, size w x h.
    static void WriteSolid(const QString& path, int width, int height, QColor colour);
    // The left half in `colour`, the right half transparent.
    static void WriteHalfTransparent(const QString& path, int width, int height, QColor colour);
    // A well-formed header and image descriptor claiming `width` x `height` pixels, with a few
    // bytes of image data: a reader that trusts the header allocates for the claim.
    static void WriteClaimingSize(const QString& path, int width, int height);
};

} // namespace slidevane::test
