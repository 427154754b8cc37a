#pragma once

#include "picture/DecodedPictures.h"

#include <QImage>
#include <QString>

// A picture decoded by the core, seen by Qt: an image over the decoded pixels themselves (no copy;
// the image keeps the picture alive), opaque as RGB32 and transparent as premultiplied ARGB32,
// the formats the window paints fastest. Stored pictures come from the program's resources and
// go through the core's decoder like any file.
//
// Owns: nothing but the conversion. It does not decode (the picture room) nor paint.
namespace slidevane {

class QtPicture {
public:
    static QImage Image(const SharedPicture& picture);
    // The picture stored under `resourcePath` (":/slidevane3/..."), whole; null when it is absent
    // or no whole GIF.
    static SharedPicture Stored(const QString& resourcePath);
};

} // namespace slidevane
