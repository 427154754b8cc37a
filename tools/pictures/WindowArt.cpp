#include "WindowArt.h"

#include "ControlArt.h"
#include "LookColours.h"
#include "PixelCanvas.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace slidevane {

void WindowArt::DrawTitle(PixelCanvas& canvas) {
    QPainter p(&canvas.Image());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRect(7, 7, 300, 22);

    // Emblem: a slide sheet leaning like a weather vane, blue frame colours so it belongs.
    QPainterPath vane;
    vane.moveTo(13, 25);
    vane.lineTo(17, 10);
    vane.lineTo(31, 10);
    vane.lineTo(27, 25);
    vane.closeSubpath();
    QLinearGradient sheet(13, 10, 31, 25);
    sheet.setColorAt(0, QColor(120, 220, 255));
    sheet.setColorAt(1, QColor(41, 103, 169));
    p.fillPath(vane, sheet);
    p.setPen(QPen(QColor(230, 246, 255), 1.2));
    p.drawLine(QPointF(19.5, 14.5), QPointF(28, 14.5));
    p.drawLine(QPointF(18.5, 18), QPointF(26, 18));
    p.drawLine(QPointF(17.6, 21.5), QPointF(23, 21.5));

    QFont font = PixelCanvas::Font("DejaVu Sans", 17, true, true);
    QPainterPath text;
    text.addText(37, 24, font, "Slidevane");
    QLinearGradient fill(0, 10, 0, 25);
    fill.setColorAt(0, QColor(200, 240, 255));
    fill.setColorAt(0.5, QColor(40, 180, 250));
    fill.setColorAt(1, QColor(0, 110, 210));
    p.fillPath(text, fill);
}

QImage WindowArt::Background() {
    PixelCanvas c(Width, Height, LookColours::Body);

    // Outline and frame: ring d pixels in from the nearest edge.
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const int d = std::min({x, y, Width - 1 - x, Height - 1 - y});
            if (d < 2)
                c.Set(x, y, LookColours::Outline);
            else if (d < 7)
                c.Set(x, y, LookColours::FrameShade(d - 2));
        }
    }
    const int left = 7;
    const int right = Width - 8;

    c.Fill(left, 7, right, 28, LookColours::TitleBar);
    DrawTitle(c);
    for (int boxLeft : {369, 388}) {
        c.Fill(boxLeft, 11, boxLeft + 14, 11, LookColours::GlyphBox);
        c.Fill(boxLeft, 25, boxLeft + 14, 25, LookColours::GlyphBox);
        c.Fill(boxLeft, 11, boxLeft, 25, LookColours::GlyphBox);
        c.Fill(boxLeft + 14, 11, boxLeft + 14, 25, LookColours::GlyphBox);
    }

    c.Fill(left, 29, right, 262, LookColours::Body);
    c.Fill(left, 29, right, 29, LookColours::BevelOuter);
    c.Fill(left, 29, left, 262, LookColours::BevelOuter);
    c.Fill(left + 1, 30, right, 30, LookColours::BevelInner);
    c.Fill(left + 1, 30, left + 1, 262, LookColours::BevelInner);

    const QFont heading = PixelCanvas::Font("DejaVu Sans", 11, true);
    c.Text(QRect(19, 34, 85, 16), "Categories", heading, LookColours::Heading,
           Qt::AlignLeft | Qt::AlignVCenter);
    c.Text(QRect(112, 34, 84, 16), "Designs", heading, LookColours::Heading,
           Qt::AlignLeft | Qt::AlignVCenter);
    c.Text(QRect(207, 34, 188, 16), "Preview", heading, LookColours::Heading,
           Qt::AlignLeft | Qt::AlignVCenter);

    for (int i = 0; i < RuleCount; ++i) {
        const int row = FirstRuleRow + i * RuleSpacing;
        c.Fill(19, row, 103, row, LookColours::RuleDark);
        c.Fill(19, row + 1, 103, row + 1, LookColours::RuleLight);
    }

    c.Panel(110, 54, 195, 241, 6, LookColours::Panel, LookColours::PanelRim);
    c.Panel(205, 55, 394, 242, 6, LookColours::Panel, LookColours::PanelRim);

    c.Fill(left, 263, right, 263, LookColours::GreyLine);
    c.Fill(left, 264, right, 281, LookColours::BottomBar);
    c.Fill(left, 282, right, 282, LookColours::BottomShadow);
    c.Blit(ControlArt::WebButton(false), 8, 264);
    c.Text(QRect(200, 264, right - 206, 18), "Design templates for presentations",
           PixelCanvas::Font("DejaVu Sans", 9, false, true), Rgb{120, 160, 200},
           Qt::AlignRight | Qt::AlignVCenter);
    return c.Image();
}

std::vector<Rgb> WindowArt::PinnedColours() {
    std::vector<Rgb> pins{LookColours::Outline,    LookColours::GlyphBox,   LookColours::Body,
                          LookColours::BevelOuter, LookColours::BevelInner, LookColours::RuleDark,
                          LookColours::RuleLight,  LookColours::Panel,      LookColours::PanelRim,
                          LookColours::GreyLine,   LookColours::BottomBar,  LookColours::BarText,
                          LookColours::Heading};
    for (int i = 0; i < 5; ++i)
        pins.push_back(LookColours::FrameShade(i));
    return pins;
}

} // namespace slidevane
