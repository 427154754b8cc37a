#pragma once

#include "platform/Control.h"

// The window's designed layout in twips, as stored with the window: the client area and the
// place and size of every picture control. Adapters turn twips into pixels with the display's
// twips per pixel (15 at the designed 96 dots per inch).
namespace slidevane {

struct ControlLayout {
    Control control;
    float left, top, width, height; // twips
};

struct LayoutTable {
    static constexpr float FormWidthTwips = 6270.0f;
    static constexpr float FormHeightTwips = 4320.0f;
    static constexpr float DesignedTwipsPerPixel = 15.0f;
    static constexpr float DesignedScaleHeight = 288.0f;

    static const ControlLayout& Of(Control control);
};

} // namespace slidevane
