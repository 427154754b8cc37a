#include "ControlArt.h"

#include "LookColours.h"
#include "PixelCanvas.h"

#include <QFontMetricsF>

namespace slidevane {

namespace {

struct StripStyle {
    Rgb top, bottom, highlight, lowlight, text, shadow;
};

StripStyle StyleFor(ControlArt::StripLook look) {
    switch (look) {
    case ControlArt::StripLook::Hover:
        return {Rgb{128, 184, 238}, Rgb{72, 142, 212},  Rgb{190, 226, 255},
                Rgb{44, 98, 158},   Rgb{255, 255, 255}, Rgb{30, 74, 128}};
    case ControlArt::StripLook::Current:
        return {Rgb{41, 103, 169}, Rgb{20, 64, 109},       Rgb{90, 150, 210},
                Rgb{10, 36, 64},   LookColours::Highlight, Rgb{8, 28, 50}};
    case ControlArt::StripLook::Normal:
        break;
    }
    return {Rgb{160, 176, 196}, Rgb{134, 150, 172}, Rgb{204, 214, 226},
            Rgb{108, 122, 142}, Rgb{246, 249, 252}, Rgb{92, 106, 126}};
}

} // namespace

QImage ControlArt::StripButton(const QString& title, StripLook look) {
    const StripStyle s = StyleFor(look);
    PixelCanvas c(StripWidth, StripHeight, s.top);
    c.VerticalGradient(0, 0, StripWidth - 1, StripHeight - 1, s.top, s.bottom);
    c.Fill(0, 0, StripWidth - 1, 0, s.highlight);
    c.Fill(0, StripHeight - 1, StripWidth - 1, StripHeight - 1, s.lowlight);
    if (look == StripLook::Current) {
        // A pointer-shaped marker at the left, so the current category reads without colour.
        for (int i = 0; i < 5; ++i)
            c.Fill(4 + i, 4 + i, 4 + i, StripHeight - 5 - i, LookColours::GlyphMark);
    }
    // Largest size that fits: the longest titles are only just narrow enough at 11 pixels.
    const int room = StripWidth - (look == StripLook::Current ? 18 : 8);
    QFont font;
    for (int size = 11; size >= 8; --size) {
        font = PixelCanvas::Font("DejaVu Sans Condensed", size, true);
        if (QFontMetricsF(font).horizontalAdvance(title) <= room)
            break;
    }
    // A title too long even at the smallest size keeps its beginning, which tells titles apart.
    const QString shown = QFontMetricsF(font).elidedText(title, Qt::ElideRight, room);
    c.Text(QRect(0, 0, StripWidth - 5, StripHeight), shown, font, s.text,
           Qt::AlignRight | Qt::AlignVCenter, 0, &s.shadow);
    return c.Image();
}

QImage ControlArt::WebButton(bool hover) {
    PixelCanvas c(WebWidth, WebHeight, LookColours::BottomBar);
    const QFont font = PixelCanvas::Font("DejaVu Sans", 10, hover);
    const Rgb colour = hover ? LookColours::BarTextHover : LookColours::BarText;
    c.Text(QRect(6, 0, WebWidth - 6, WebHeight), WebText(), font, colour,
           Qt::AlignLeft | Qt::AlignVCenter, 1.0);
    if (hover) {
        const int width = static_cast<int>(QFontMetricsF([&] {
                                               QFont f = font;
                                               f.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
                                               return f;
                                           }())
                                               .horizontalAdvance(WebText()));
        c.Fill(6, WebHeight - 3, 6 + width, WebHeight - 3, LookColours::GlyphMark);
    }
    return c.Image();
}

QImage ControlArt::GlyphBase() {
    PixelCanvas c(GlyphSize, GlyphSize, LookColours::GlyphStripeDark);
    for (int y = 1; y < GlyphSize; y += 2)
        c.Fill(0, y, GlyphSize - 1, y, LookColours::GlyphStripeLight);
    return c.Image();
}

QImage ControlArt::MinimizeGlyph() {
    PixelCanvas c(GlyphSize, GlyphSize, Rgb{});
    c.Blit(GlyphBase(), 0, 0);
    c.Fill(3, 10, 11, 11, LookColours::GlyphMark);
    return c.Image();
}

QImage ControlArt::CloseGlyph() {
    PixelCanvas c(GlyphSize, GlyphSize, Rgb{});
    c.Blit(GlyphBase(), 0, 0);
    // Two-pixel-wide diagonals, drawn by hand to keep them crisp at this size.
    for (int i = 3; i <= 11; ++i) {
        c.Set(i, i, LookColours::GlyphMark);
        c.Set(i + 1 <= 11 ? i + 1 : i, i, LookColours::GlyphMark);
        c.Set(14 - i, i, LookColours::GlyphMark);
        c.Set(14 - i - 1 >= 3 ? 14 - i - 1 : 14 - i, i, LookColours::GlyphMark);
    }
    return c.Image();
}

} // namespace slidevane
