#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>

// The window's icon and pointer files (ICO and CUR: small palette or true-colour bitmaps with a
// transparency mask), decoded here rather than through Qt's plugin: the plugin's alpha handling
// builds colour tables that cost more at start-up than drawing the whole window.
//
// Owns: the file layout and its bounds checks. It does not decide which image is used where.
namespace slidevane {

class IconFile {
public:
    struct Image {
        QImage picture; // ARGB32
        QPoint hotSpot; // cursors only
    };

    // Every image of the file, in the file's order; empty when the file is not an icon or
    // cursor this decoder understands.
    static QList<Image> Decode(const QByteArray& file);
};

} // namespace slidevane
