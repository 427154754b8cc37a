#include "platform/Control.h"

namespace slidevane {

Control StripButton(int position) {
    // Button1 is the last control of the stacking order, Button10 the eighth.
    return static_cast<Control>(static_cast<int>(Control::Button1) - position);
}

int StripPosition(Control control) {
    int const offset = static_cast<int>(Control::Button1) - static_cast<int>(control);
    return offset >= 0 && offset <= 9 ? offset : -1;
}

Control Thumbnail(int j) { return static_cast<Control>(static_cast<int>(Control::Dis1BackGnd) + j - 1); }

int ThumbnailNumber(Control control) {
    switch (control) {
    case Control::Dis1BackGnd:
        return 1;
    case Control::Dis2BackGnd:
        return 2;
    case Control::Dis3BackGnd:
        return 3;
    default:
        return 0;
    }
}

std::string_view ControlName(Control control) {
    static constexpr std::array<std::string_view, ControlCount> names = {
        "Dis1BackGnd", "Dis2BackGnd", "Dis3BackGnd", "MainDisBackGnd", "WWWBtn", "Picture10",
        "Picture9",    "Button10",    "Button9",     "Button8",        "Button7", "Button6",
        "Button5",     "Button4",     "Button3",     "Button2",        "Button1",
    };
    return names[static_cast<std::size_t>(control)];
}

std::string_view EventName(Event event) {
    switch (event) {
    case Event::MouseMove:
        return "MouseMove";
    case Event::MouseUp:
        return "MouseUp";
    case Event::Click:
        return "Click";
    case Event::DblClick:
        return "DblClick";
    }
    return "";
}

} // namespace slidevane
