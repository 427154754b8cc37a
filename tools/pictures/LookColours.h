#pragma once

#include "Rgb.h"

namespace slidevane {

// The exact colours of the window's look. Pictures pin these in their palettes and the picture
// tests read them back, so a value changed here changes both the artwork and what is checked.
struct LookColours {
    static constexpr Rgb Outline{0, 0, 0};
    static constexpr Rgb FrameOuter{0, 173, 255};
    static constexpr Rgb FrameInner{41, 103, 169};
    static constexpr Rgb TitleBar{0, 0, 0};
    static constexpr Rgb GlyphBox{175, 175, 175};
    static constexpr Rgb Body{174, 188, 203};
    static constexpr Rgb BevelOuter{232, 238, 244};
    static constexpr Rgb BevelInner{206, 215, 225};
    static constexpr Rgb RuleDark{145, 156, 170};
    static constexpr Rgb RuleLight{198, 207, 218};
    static constexpr Rgb Panel{19, 62, 105};
    static constexpr Rgb PanelRim{13, 42, 71};
    static constexpr Rgb GreyLine{128, 128, 128};
    static constexpr Rgb BottomBar{20, 64, 109};
    static constexpr Rgb BottomShadow{13, 42, 71};
    static constexpr Rgb BarText{200, 222, 242};
    static constexpr Rgb BarTextHover{255, 255, 255};
    static constexpr Rgb Heading{41, 70, 110};
    static constexpr Rgb SlideFrame{150, 205, 245};
    static constexpr Rgb SlideShadow{8, 28, 50};
    static constexpr Rgb Highlight{255, 208, 64};
    static constexpr Rgb GlyphStripeDark{16, 46, 82};
    static constexpr Rgb GlyphStripeLight{28, 72, 124};
    static constexpr Rgb GlyphMark{0, 240, 255};

    // Frame shade `step` of 5, from the outer edge inwards.
    static Rgb FrameShade(int step) { return Rgb::Mix(FrameOuter, FrameInner, step / 4.0); }
};

} // namespace slidevane
