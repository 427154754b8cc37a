#pragma once

#include <QImage>
#include <QString>

namespace slidevane {

// Puts a slide picture into the framed, shadowed cell the window shows on its dark-blue
// panels: the 72 x 48 thumbnail (normal or highlighted) and the 158 x 121 main preview. Also
// makes the placeholder cell for a template that is not installed. Does not draw slides.
class PreviewFrame {
public:
    static constexpr int ThumbWidth = 72;
    static constexpr int ThumbHeight = 48;
    static constexpr int MainWidth = 158;
    static constexpr int MainHeight = 121;

    static QImage Thumbnail(const QImage& slide, bool highlighted);
    static QImage Main(const QImage& slide);
    static QImage MissingThumbnail();
    static QImage MissingMain();

private:
    static QImage Cell(int width, int height, const QRect& slideArea, const QImage& slide,
                       bool highlighted);
    static QImage Missing(int slideWidth, int slideHeight, int pixelSize, const QString& text);
};

} // namespace slidevane
