#pragma once

#include "platform/Control.h"

#include <optional>
#include <vector>

// The window-wide rules that turn button presses and releases into the controls' events:
// MouseUp on every release, Click only for a left press and release on the same control that was
// not the press of a double-click, DblClick in place of the second Click, and a double-click only
// when its first press hit the same control.
//
// Owns: the pressed control, whether its press was a double-click, and the control (or the
// background) that took the last left press. It does not own the pointer capture or event
// delivery: the controls do both and ask it which events a message makes.
namespace slidevane {

enum class MouseButton { Left, Right, Middle };

class ClickSequencer {
public:
    // `doubleClick` is true for the system's double-click message on `control`.
    std::vector<Event> Press(Control control, MouseButton button, bool doubleClick);
    // `inside` is whether the release point lies inside the releasing control's client area.
    std::vector<Event> Release(Control control, MouseButton button, bool inside);
    // A press on the window's background takes no event but breaks a double-click pairing.
    void PressOnBackground();
    // Another window took the pointer: the press can no longer become a Click.
    void CaptureLost();

private:
    std::optional<Control> pressed_;
    bool pressWasDouble_ = false;
    std::optional<Control> lastLeftPress_;
};

} // namespace slidevane
