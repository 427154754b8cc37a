#pragma once

#include "Rgb.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

namespace slidevane {

// Exact-pixel drawing on an RGB picture: the parts of the look whose colours are checked
// (rules, panels, frames) are set pixel by pixel here, never antialiased by a painter.
// Text goes through QPainter because glyphs need smoothing. Owns the picture it draws on.
class PixelCanvas {
public:
    PixelCanvas(int width, int height, Rgb fill);

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

    void Set(int x, int y, Rgb c);
    Rgb Get(int x, int y) const;
    // Inclusive corners, as the look describes its areas.
    void Fill(int left, int top, int right, int bottom, Rgb c);
    void VerticalGradient(int left, int top, int right, int bottom, Rgb from, Rgb to);
    // Rounded panel: fill inside, a one-pixel rim along the rounded edge.
    void Panel(int left, int top, int right, int bottom, int radius, Rgb fill, Rgb rim);
    void Blit(const QImage& picture, int x, int y);

    // Text in `box` (alignment as Qt flags); letterSpacing in pixels. A shadow colour, when
    // given, is drawn one pixel down-right first.
    void Text(const QRect& box, const QString& text, const QFont& font, Rgb colour, int flags,
              double letterSpacing = 0, const Rgb* shadow = nullptr);

    // The DejaVu families the artwork uses, at a pixel size.
    static QFont Font(const QString& family, int pixelSize, bool bold = false, bool italic = false);

private:
    QImage image_;
};

} // namespace slidevane
