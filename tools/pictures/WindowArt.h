#pragma once

#include "Rgb.h"

#include <QImage>
#include <vector>

namespace slidevane {

// The window background: outline, blue frame, title bar with the product name and glyph boxes,
// the body with its strip rules and panels, and the bottom bar with the web address. The
// picture is one pixel wider and two taller than the window; the excess is cut off on screen.
// It does not draw the controls that sit on top, only what shows around and under them.
class WindowArt {
public:
    static constexpr int Width = 419;
    static constexpr int Height = 290;
    static constexpr int FirstRuleRow = 53;
    static constexpr int RuleSpacing = 19;
    static constexpr int RuleCount = 11;

    static QImage Background();
    // Colours the background must keep exactly through palette reduction.
    static std::vector<Rgb> PinnedColours();

private:
    static void DrawTitle(class PixelCanvas& canvas);
};

} // namespace slidevane
