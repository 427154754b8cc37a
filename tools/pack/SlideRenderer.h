#pragma once

#include "OfficeConnection.h"

#include <QImage>
#include <QSize>
#include <filesystem>

// Renders what a double-click on a template gives: the office makes the new presentation from
// the template exactly as for the program (the template's design, one title slide on its first
// master), and that first slide is exported as a picture into a work folder, read back, and the
// presentation closed again.
//
// Owns: the presentation and the exported file of one rendering, until it returns. It does not
// start the office or draw the pack's pictures.
namespace slidevane {

class SlideRenderer {
public:
    SlideRenderer(OfficeConnection& office, std::filesystem::path workFolder);

    // The slide as a picture that fits `box` with the slide's proportions. Throws
    // TemplateRefused when the office cannot open the template, RuntimeError when the office
    // fails otherwise.
    QImage Render(const std::filesystem::path& templatePath, QSize box);

private:
    OfficeConnection& office_;
    std::filesystem::path work_;
    int count_ = 0;
};

} // namespace slidevane
