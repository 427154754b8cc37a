#include "SlideSketch.h"

#include <QLinearGradient>
#include <QPainter>

namespace slidevane {

namespace {

QColor Q(Rgb c, int alpha = 255) {
    return QColor(c.r, c.g, c.b, alpha);
}

} // namespace

QImage SlideSketch::Draw(const SlideDesign& d, int width, int height) {
    // Drawn large and scaled down so the small result keeps soft edges.
    const int w = 400;
    const int h = 300;
    QImage big(w, h, QImage::Format_RGB32);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient bg(0, 0, 0, h);
    bg.setColorAt(0, Q(d.backgroundTop));
    bg.setColorAt(1, Q(d.backgroundBottom));
    p.fillRect(0, 0, w, h, bg);
    p.setPen(Qt::NoPen);

    QRectF titleBar;
    QRectF textArea;
    switch (d.motif) {
    case SlideDesign::Motif::Banner:
        p.setBrush(Q(d.accent));
        p.drawRect(QRectF(0, 0, w, 72));
        p.setBrush(Q(d.accentSecond));
        p.drawRect(QRectF(0, 72, w, 6));
        p.drawRect(QRectF(0, h - 22, w, 22));
        titleBar = QRectF(28, 24, 210, 24);
        textArea = QRectF(40, 110, 300, 150);
        break;
    case SlideDesign::Motif::Sidebar:
        p.setBrush(Q(d.accent));
        p.drawRect(QRectF(0, 0, 86, h));
        p.setBrush(Q(d.accentSecond));
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QRectF(24, 190 + i * 30, 22, 22));
        p.drawRect(QRectF(110, 84, 250, 5));
        titleBar = QRectF(110, 40, 200, 26);
        textArea = QRectF(118, 120, 240, 150);
        break;
    case SlideDesign::Motif::Orbit:
        p.setBrush(Q(d.accent, 220));
        p.drawEllipse(QRectF(220, 150, 260, 260));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Q(d.accentSecond), 10));
        p.drawEllipse(QRectF(180, 110, 340, 340));
        p.setPen(Qt::NoPen);
        titleBar = QRectF(30, 40, 220, 28);
        textArea = QRectF(40, 110, 200, 150);
        break;
    }
    const bool titleOnAccent = d.motif == SlideDesign::Motif::Banner;
    p.setBrush(Q(titleOnAccent ? d.backgroundTop : d.titleColour));
    p.drawRoundedRect(titleBar, 5, 5);
    for (int i = 0; i < 3; ++i) {
        const double y = textArea.top() + i * 34;
        p.setBrush(Q(d.accentSecond));
        p.drawEllipse(QRectF(textArea.left(), y + 3, 10, 10));
        p.setBrush(Q(d.textColour, 200));
        p.drawRoundedRect(QRectF(textArea.left() + 20, y, textArea.width() * (0.8 - 0.15 * i), 16),
                          4, 4);
    }
    p.end();
    return big.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace slidevane
