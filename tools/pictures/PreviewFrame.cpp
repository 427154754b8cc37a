#include "PreviewFrame.h"

#include "LookColours.h"
#include "PixelCanvas.h"

#include <QPainter>
#include <algorithm>

namespace slidevane {

namespace {

// Slide areas inside the cells; both keep 4:3 and leave room for frame and shadow.
const QRect ThumbSlide(7, 2, 56, 42);
const QRect MainSlide(6, 4, PreviewFrame::MainSlideWidth, PreviewFrame::MainSlideHeight);

} // namespace

QRect PreviewFrame::Fitted(const QRect& area, QSize slide) {
    // A slide of other proportions (a wide one, say) keeps them, centred in the cell's area;
    // a 4:3 slide fills the area exactly.
    if (slide.isEmpty()) {
        return area;
    }
    QSize const fitted = slide.scaled(area.size(), Qt::KeepAspectRatio);
    int const width = std::max(1, fitted.width());
    int const height = std::max(1, fitted.height());
    return QRect(area.left() + (area.width() - width) / 2,
                 area.top() + (area.height() - height) / 2, width, height);
}

QImage PreviewFrame::Cell(int width, int height, const QRect& cellArea, const QImage& slide,
                          bool highlighted) {
    const QRect area = Fitted(cellArea, slide.size());
    PixelCanvas c(width, height, LookColours::Panel);
    // Shadow first, offset down-right, then the frame ring and the slide over it.
    c.Fill(area.left() + 1, area.top() + 1, area.right() + 3, area.bottom() + 3,
           LookColours::SlideShadow);
    const int ring = highlighted ? 2 : 1;
    const Rgb frame = highlighted ? LookColours::Highlight : LookColours::SlideFrame;
    c.Fill(area.left() - ring, area.top() - ring, area.right() + ring, area.bottom() + ring, frame);
    c.Blit(slide.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation), area.left(),
           area.top());
    return c.Image();
}

QImage PreviewFrame::Thumbnail(const QImage& slide, bool highlighted) {
    return Cell(ThumbWidth, ThumbHeight, ThumbSlide, slide, highlighted);
}

QImage PreviewFrame::Main(const QImage& slide) {
    return Cell(MainWidth, MainHeight, MainSlide, slide, false);
}

QImage PreviewFrame::Missing(int w, int h, int pixelSize, const QString& text) {
    PixelCanvas c(w, h, Rgb{58, 76, 98});
    // Faint diagonal hatching says "empty" without competing with real slides.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x + y) % 6 == 0)
                c.Set(x, y, Rgb{68, 88, 112});
    c.Text(QRect(0, 0, w, h), text, PixelCanvas::Font("DejaVu Sans Condensed", pixelSize, true),
           Rgb{196, 210, 226}, Qt::AlignCenter | Qt::TextWordWrap);
    return c.Image();
}

QImage PreviewFrame::MissingThumbnail() {
    return Cell(ThumbWidth, ThumbHeight, ThumbSlide,
                Missing(ThumbSlide.width(), ThumbSlide.height(), 9, "Not\ninstalled"), false);
}

QImage PreviewFrame::MissingMain() {
    return Cell(MainWidth, MainHeight, MainSlide,
                Missing(MainSlide.width(), MainSlide.height(), 13, "Not installed"), false);
}

QImage PreviewFrame::Empty(int width, int height) {
    return PixelCanvas(width, height, LookColours::Panel).Image();
}

} // namespace slidevane
