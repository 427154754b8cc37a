#include "adapters/win32/ClickSequencer.h"

namespace slidevane {

std::vector<Event> ClickSequencer::Press(Control control, MouseButton button, bool doubleClick) {
    if (button != MouseButton::Left) {
        return {};
    }
    // The system pairs presses by time and distance; a pair is one double-click only when the
    // first press was taken by this same control.
    bool const pairs = doubleClick && lastLeftPress_ == control;
    pressed_ = control;
    pressWasDouble_ = pairs;
    lastLeftPress_ = pairs ? std::nullopt : std::optional<Control>(control);
    if (pairs) {
        return {Event::DblClick};
    }
    return {};
}

std::vector<Event> ClickSequencer::Release(Control control, MouseButton button, bool inside) {
    if (button != MouseButton::Left) {
        return {Event::MouseUp};
    }
    bool const click = pressed_ == control && !pressWasDouble_ && inside;
    pressed_.reset();
    pressWasDouble_ = false;
    if (click) {
        return {Event::MouseUp, Event::Click};
    }
    return {Event::MouseUp};
}

void ClickSequencer::PressOnBackground() {
    pressed_.reset();
    pressWasDouble_ = false;
    lastLeftPress_.reset();
}

void ClickSequencer::CaptureLost() {
    pressed_.reset();
    pressWasDouble_ = false;
}

} // namespace slidevane
