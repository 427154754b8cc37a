#pragma once

#include "PackPlan.h"

#include <QImage>
#include <QSize>
#include <filesystem>
#include <string>

// Every picture of a pack's UI folder, drawn in the sample pack's artwork and named by the
// program's own picture-name scheme: the strip buttons of each title in their three looks, the
// thumbnails and large previews of each template from its rendered slide, the "not installed"
// cells of absent templates, the blank buttons and empty cells that unused categories share,
// and the web button.
//
// Owns: which pictures a pack has and what each shows. It does not render slides (the office
// does) or decide where the folder ends up.
namespace slidevane {

class PackPictures {
public:
    // The title that every unused category has in the catalogue.
    static constexpr const char* UnusedTitle = "";
    // The size of the slide picture worth rendering: twice the large preview's slide.
    static QSize RenderBox();

    explicit PackPictures(std::filesystem::path uiFolder);

    // Everything but the rendered previews: strip buttons of every category and of the unused
    // ones, "not installed" cells of absent templates, the unused categories' cells, the web
    // button.
    void WriteFixed(const PackPlan& plan) const;
    // Thumbnail (normal and highlighted) and large preview of template `number` of `title`.
    void WritePreviews(const std::string& title, int number, const QImage& slide) const;

    // The file of a strip picture ('a', 'b', 'c') or a preview picture ('a', 'b', 'c' with
    // picture number 4 to 6), as the program names it.
    std::filesystem::path Strip(const std::string& title, char look) const;
    std::filesystem::path Preview(const std::string& title, char look, int number) const;

private:
    void WriteStrip(const std::string& title) const;

    std::filesystem::path ui_;
};

} // namespace slidevane
