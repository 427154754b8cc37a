#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QWidget;

// What the window shows, painted the way the window system would get it.
namespace slidevane::test {

class PixelProbe {
public:
    explicit PixelProbe(QWidget& window);

    QColor At(QPoint at) const { return image_.pixelColor(at); }
    // True when every pixel of `area` has `colour`.
    bool Uniform(const QRect& area, QColor colour) const;
    // True when `area` shows `picture` 1:1 from its top-left corner (its opaque pixels, as far as
    // both reach).
    bool Shows(const QRect& area, const QImage& picture) const;
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};

} // namespace slidevane::test
