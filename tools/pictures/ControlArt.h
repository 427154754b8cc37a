#pragma once

#include <QImage>
#include <QString>

namespace slidevane {

// The pictures of the window's small controls: strip buttons in their three looks, the web
// address button in its two, and the minimize and close glyphs. Sizes are the controls' sizes;
// where a picture sits on the window is the background's business, not this class's.
class ControlArt {
public:
    enum class StripLook { Normal, Hover, Current };

    static constexpr int StripWidth = 88;
    static constexpr int StripHeight = 17;
    static constexpr int WebWidth = 184;
    static constexpr int WebHeight = 18;
    static constexpr int GlyphSize = 15;

    static QImage StripButton(const QString& title, StripLook look);
    static QImage WebButton(bool hover);
    static QImage MinimizeGlyph();
    static QImage CloseGlyph();

    static const char* WebText() { return "www.norvale.example"; }

private:
    static QImage GlyphBase();
};

} // namespace slidevane
