#include "PackPictures.h"

#include "ControlArt.h"
#include "PreviewFrame.h"
#include "StoredPictures.h"
#include "catalogue/PictureNames.h"

#include <QPainter>

namespace slidevane {

namespace fs = std::filesystem;

namespace {

// Rendered slides carry gradients; a full palette keeps their banding down.
constexpr int PreviewColours = 256;

// Picture number of template `number`, as the program counts them.
std::int16_t PictureNumber(int number) {
    return static_cast<std::int16_t>(number + 3);
}

} // namespace

QSize PackPictures::RenderBox() {
    // Twice the size it is shown at most: the scaling down smooths the office's edges.
    return {2 * PreviewFrame::MainSlideWidth, 2 * PreviewFrame::MainSlideHeight};
}

PackPictures::PackPictures(fs::path uiFolder) : ui_(std::move(uiFolder)) {}

fs::path PackPictures::Strip(const std::string& title, char look) const {
    // The program's own scheme, on the folder with its separator, so names match to the byte.
    return PictureNames::Strip(ui_.string() + "/", title, look);
}

fs::path PackPictures::Preview(const std::string& title, char look, int number) const {
    return PictureNames::Preview(ui_.string() + "/", title, look, PictureNumber(number));
}

void PackPictures::WriteStrip(const std::string& title) const {
    using Look = ControlArt::StripLook;
    QString const text = QString::fromStdString(title);
    StoredPictures::WriteGif(ControlArt::StripButton(text, Look::Normal), Strip(title, 'a'));
    StoredPictures::WriteGif(ControlArt::StripButton(text, Look::Hover), Strip(title, 'b'));
    StoredPictures::WriteGif(ControlArt::StripButton(text, Look::Current), Strip(title, 'c'));
}

void PackPictures::WriteFixed(const PackPlan& plan) const {
    for (const PackCategory& category : plan.categories) {
        WriteStrip(category.title);
        for (int number = 1; number <= PackPlan::TemplateSlots; ++number) {
            if (category.Template(number) == nullptr) {
                StoredPictures::WriteGif(PreviewFrame::MissingThumbnail(),
                                         Preview(category.title, 'a', number), {}, PreviewColours);
                StoredPictures::WriteGif(PreviewFrame::MissingMain(),
                                         Preview(category.title, 'c', number), {}, PreviewColours);
            }
        }
    }
    if (plan.categories.size() < PackPlan::CategorySlots) {
        // Unused categories share one empty title: blank buttons and an empty pane, with no
        // templates, so there is no highlighted thumbnail to draw.
        WriteStrip(UnusedTitle);
        for (int number = 1; number <= PackPlan::TemplateSlots; ++number) {
            StoredPictures::WriteGif(
                PreviewFrame::Empty(PreviewFrame::ThumbWidth, PreviewFrame::ThumbHeight),
                Preview(UnusedTitle, 'a', number));
            StoredPictures::WriteGif(
                PreviewFrame::Empty(PreviewFrame::MainWidth, PreviewFrame::MainHeight),
                Preview(UnusedTitle, 'c', number));
        }
    }
    StoredPictures::WriteGif(ControlArt::WebButton(false), ui_ / "www-1.gif");
    StoredPictures::WriteGif(ControlArt::WebButton(true), ui_ / "www-2.gif");
}

void PackPictures::WritePreviews(const std::string& title, int number, const QImage& slide) const {
    // Parts of a slide the office leaves transparent show as the white of a page.
    QImage opaque(slide.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, slide);
    }
    StoredPictures::WriteGif(PreviewFrame::Thumbnail(opaque, false), Preview(title, 'a', number),
                             {}, PreviewColours);
    StoredPictures::WriteGif(PreviewFrame::Thumbnail(opaque, true), Preview(title, 'b', number), {},
                             PreviewColours);
    StoredPictures::WriteGif(PreviewFrame::Main(opaque), Preview(title, 'c', number), {},
                             PreviewColours);
}

} // namespace slidevane
