#pragma once

#include "platform/Control.h"

#include <string>

// What the core needs of the one window: pictures into named controls, the layout's places and
// sizes, the client height, minimize and unload.
//
// Owns: the contract only. The window system, its drawing, decoding and event delivery belong to
// the platform's adapter. Geometry values are single-precision, as the layout stores them: the
// window's outer size in twips, the controls' places and sizes in pixels of the client area.
namespace slidevane {

enum class Property { Left, Top, Width, Height };

class WindowPort {
public:
    virtual ~WindowPort() = default;

    // Replaces the picture a control shows with the GIF file at `path`, a path as the catalogue
    // builds it (backslashes, possibly a drive letter, possibly ending in a NUL). The file is
    // read afresh. Throws RuntimeError: 53 when the file is missing, 76 when its folder is,
    // 481 when it is not a readable picture. On failure the control keeps its picture.
    virtual void LoadPicture(Control control, const std::string& path) = 0;

    virtual float FormWidth() const = 0;  // twips
    virtual float FormHeight() const = 0; // twips
    virtual void SetFormWidth(float twips) = 0;
    virtual void SetFormHeight(float twips) = 0;

    virtual float ControlProperty(Control control, Property property) const = 0; // pixels
    virtual void SetControlProperty(Control control, Property property, float pixels) = 0;

    // Height of the client area in pixels: 4320 twips over the display's twips per pixel.
    virtual float ScaleHeight() const = 0;

    virtual void Minimize() = 0;
    // Closes the window; the program ends when control returns to the event loop.
    virtual void Unload() = 0;
};

} // namespace slidevane
