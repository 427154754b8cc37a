#pragma once

#include "Rgb.h"

#include <QImage>
#include <vector>

namespace slidevane {

// The program icon: a document page with yellow blocks and a cyan gear, drawn separately at
// 32 and 16 pixels (a scaled-down 32 would smear at 16). Transparent where the desktop shows.
// Colours come from the classic 16-colour set so the 4-bit images need no reduction choices.
class IconArt {
public:
    static QImage Draw(int size);
    static const std::vector<Rgb>& SixteenColours();
};

} // namespace slidevane
