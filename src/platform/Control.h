#pragma once

#include <array>
#include <string_view>

// The seventeen picture controls of the window, in the stacking order of the layout (first =
// bottom), and the events a control can deliver.
namespace slidevane {

enum class Control {
    Dis1BackGnd,
    Dis2BackGnd,
    Dis3BackGnd,
    MainDisBackGnd,
    WWWBtn,
    Picture10,
    Picture9,
    Button10,
    Button9,
    Button8,
    Button7,
    Button6,
    Button5,
    Button4,
    Button3,
    Button2,
    Button1,
};

constexpr int ControlCount = 17;

enum class Event { MouseMove, MouseUp, Click, DblClick };

constexpr std::array<Control, ControlCount> AllControls = {
    Control::Dis1BackGnd, Control::Dis2BackGnd, Control::Dis3BackGnd, Control::MainDisBackGnd,
    Control::WWWBtn,      Control::Picture10,   Control::Picture9,    Control::Button10,
    Control::Button9,     Control::Button8,     Control::Button7,     Control::Button6,
    Control::Button5,     Control::Button4,     Control::Button3,     Control::Button2,
    Control::Button1,
};

// Strip position k (0 = Button1 at the top) to its control and back; -1 for other controls.
Control StripButton(int position);
int StripPosition(Control control);
// Thumbnail j (1 to 3) to its control and back; 0 for other controls.
Control Thumbnail(int j);
int ThumbnailNumber(Control control);

std::string_view ControlName(Control control);
std::string_view EventName(Event event);

} // namespace slidevane
