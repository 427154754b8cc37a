#pragma once

#include "Rgb.h"

#include <string>
#include <vector>

namespace slidevane {

// Everything that makes one sample template look like itself. Both the template writer and the
// abstract sketches read it, so a template and its stand-in artwork stay alike. Plain data.
struct SlideDesign {
    enum class Motif { Banner, Sidebar, Orbit };

    std::string stem;  // file name without extension, e.g. "celebration1"
    std::string title; // category title, shown as the first slide's title
    std::vector<std::string> points;
    Motif motif = Motif::Banner;
    std::string fontFamily = "DejaVu Sans";
    Rgb backgroundTop;
    Rgb backgroundBottom;
    Rgb accent;
    Rgb accentSecond;
    Rgb titleColour;
    Rgb textColour;
};

} // namespace slidevane
