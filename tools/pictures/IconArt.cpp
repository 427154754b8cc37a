#include "IconArt.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace slidevane {

namespace {

const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);
const QColor Silver(192, 192, 192);
const QColor Grey(128, 128, 128);
const QColor Yellow(255, 255, 0);
const QColor Olive(128, 128, 0);
const QColor Cyan(0, 255, 255);
const QColor Teal(0, 128, 128);

QPolygonF Gear(double cx, double cy, double outer, double inner, int teeth) {
    QPolygonF gear;
    const double step = 2 * std::numbers::pi / teeth;
    for (int i = 0; i < teeth; ++i) {
        const double a = i * step;
        // Each tooth: flat top over a quarter step, flanks, then root.
        for (auto [da, r] : {std::pair{-0.22, inner}, std::pair{-0.12, outer},
                             std::pair{0.12, outer}, std::pair{0.22, inner}})
            gear << QPointF(cx + r * std::cos(a + da * step * 2),
                            cy + r * std::sin(a + da * step * 2));
    }
    return gear;
}

} // namespace

const std::vector<Rgb>& IconArt::SixteenColours() {
    static const std::vector<Rgb> colours{
        {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    return colours;
}

QImage IconArt::Draw(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double s = size / 32.0;
    auto pt = [s](double x, double y) { return QPointF(x * s, y * s); };

    // Page with a folded corner.
    QPolygonF page;
    page << pt(4, 1) << pt(20, 1) << pt(27, 8) << pt(27, 30) << pt(4, 30);
    p.setPen(QPen(Black, 1));
    p.setBrush(White);
    p.drawPolygon(page);
    QPolygonF fold;
    fold << pt(20, 1) << pt(20, 8) << pt(27, 8);
    p.setBrush(Silver);
    p.drawPolygon(fold);

    // Yellow blocks: a heading bar and two picture blocks, each with an olive edge.
    p.setPen(QPen(Olive, 1));
    p.setBrush(Yellow);
    if (size >= 32) {
        p.drawRect(QRectF(pt(7, 4), pt(17, 7)));
        p.drawRect(QRectF(pt(7, 11), pt(13, 16)));
        p.drawRect(QRectF(pt(7, 19), pt(12, 24)));
        p.setPen(QPen(Grey, 1));
        for (int y : {12, 14, 16, 20})
            p.drawLine(pt(15, y), pt(23, y));
    } else {
        p.setPen(Qt::NoPen);
        p.fillRect(QRect(3, 2, 6, 2), Yellow);
        p.fillRect(QRect(3, 6, 4, 3), Yellow);
        p.fillRect(QRect(3, 10, 3, 3), Yellow);
    }

    // Gear over the lower right corner.
    p.setPen(QPen(Teal, 1));
    p.setBrush(Cyan);
    if (size >= 32) {
        p.drawPolygon(Gear(23, 24, 8, 5.6, 8));
        p.setBrush(White);
        p.drawEllipse(QRectF(20.5, 21.5, 5, 5));
    } else {
        p.drawPolygon(Gear(11.5, 11.5, 4.6, 3.2, 6));
        p.setPen(Qt::NoPen);
        p.fillRect(QRect(11, 11, 1, 1), Teal);
    }
    p.end();
    return image;
}

} // namespace slidevane
