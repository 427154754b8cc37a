#include "PixelCanvas.h"

#include <QPainter>
#include <cmath>

namespace slidevane {

PixelCanvas::PixelCanvas(int width, int height, Rgb fill)
    : image_(width, height, QImage::Format_RGB32) {
    image_.fill(QColor(fill.r, fill.g, fill.b));
}

void PixelCanvas::Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height())
        image_.setPixel(x, y, qRgb(c.r, c.g, c.b));
}

Rgb PixelCanvas::Get(int x, int y) const {
    const QRgb p = image_.pixel(x, y);
    return Rgb{static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
               static_cast<std::uint8_t>(qBlue(p))};
}

void PixelCanvas::Fill(int left, int top, int right, int bottom, Rgb c) {
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            Set(x, y, c);
}

void PixelCanvas::VerticalGradient(int left, int top, int right, int bottom, Rgb from, Rgb to) {
    const int span = std::max(1, bottom - top);
    for (int y = top; y <= bottom; ++y)
        Fill(left, y, right, y, Rgb::Mix(from, to, static_cast<double>(y - top) / span));
}

void PixelCanvas::Panel(int left, int top, int right, int bottom, int radius, Rgb fill, Rgb rim) {
    auto inside = [&](int x, int y) {
        if (x < left || x > right || y < top || y > bottom)
            return false;
        const double cx = x < left + radius    ? left + radius
                          : x > right - radius ? right - radius
                                               : x;
        const double cy = y < top + radius      ? top + radius
                          : y > bottom - radius ? bottom - radius
                                                : y;
        return std::hypot(x - cx, y - cy) <= radius + 0.3;
    };
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (!inside(x, y))
                continue;
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            Set(x, y, edge ? rim : fill);
        }
    }
}

void PixelCanvas::Blit(const QImage& picture, int x, int y) {
    QPainter painter(&image_);
    painter.drawImage(x, y, picture);
}

void PixelCanvas::Text(const QRect& box, const QString& text, const QFont& font, Rgb colour,
                       int flags, double letterSpacing, const Rgb* shadow) {
    QFont f = font;
    f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(f);
    if (shadow != nullptr) {
        painter.setPen(QColor(shadow->r, shadow->g, shadow->b));
        painter.drawText(box.translated(1, 1), flags, text);
    }
    painter.setPen(QColor(colour.r, colour.g, colour.b));
    painter.drawText(box, flags, text);
}

QFont PixelCanvas::Font(const QString& family, int pixelSize, bool bold, bool italic) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace slidevane
