#pragma once

#include <QImage>
#include <QString>

namespace slidevane {

// Puts a slide picture into the framed, shadowed cell the window shows on its dark-blue
// panels: the 72 x 48 thumbnail (normal or highlighted) and the 158 x 121 main preview, keeping
// the slide's proportions. Also makes the placeholder cell for a template that is not
// installed, and the empty cell of a category that is not in use. Does not draw slides.
class PreviewFrame {
public:
    static constexpr int ThumbWidth = 72;
    static constexpr int ThumbHeight = 48;
    static constexpr int MainWidth = 158;
    static constexpr int MainHeight = 121;
    // The slide's area inside the main preview, the largest a slide is shown.
    static constexpr int MainSlideWidth = 144;
    static constexpr int MainSlideHeight = 108;

    static QImage Thumbnail(const QImage& slide, bool highlighted);
    static QImage Main(const QImage& slide);
    static QImage MissingThumbnail();
    static QImage MissingMain();
    // Nothing but the panel: the cell of a category with no templates at all.
    static QImage Empty(int width, int height);

private:
    // Where a slide of `slide`'s proportions goes inside `area`.
    static QRect Fitted(const QRect& area, QSize slide);
    static QImage Cell(int width, int height, const QRect& slideArea, const QImage& slide,
                       bool highlighted);
    static QImage Missing(int slideWidth, int slideHeight, int pixelSize, const QString& text);
};

} // namespace slidevane
