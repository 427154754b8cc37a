#include "PixelProbe.h"

#include <QWidget>

namespace slidevane::test {

PixelProbe::PixelProbe(QWidget& window)
    : image_(window.grab().toImage().convertToFormat(QImage::Format_ARGB32)) {}

bool PixelProbe::Uniform(const QRect& area, QColor colour) const {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image_.pixelColor(x, y).rgb() != colour.rgb()) {
                return false;
            }
        }
    }
    return true;
}

bool PixelProbe::Shows(const QRect& area, const QImage& picture) const {
    QImage const expected = picture.convertToFormat(QImage::Format_ARGB32);
    int const width = std::min(area.width(), expected.width());
    int const height = std::min(area.height(), expected.height());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            QRgb const want = expected.pixel(x, y);
            if (qAlpha(want) == 255 && image_.pixel(area.left() + x, area.top() + y) != want) {
                return false;
            }
        }
    }
    return width > 0 && height > 0;
}

} // namespace slidevane::test
