#include "platform/LayoutTable.h"

#include <array>

namespace slidevane {

namespace {

// In the stacking order of the layout, which is also the order of Control.
constexpr std::array<ControlLayout, ControlCount> Layout = {{
    {Control::Dis1BackGnd, 1800, 1050, 1080, 720},
    {Control::Dis2BackGnd, 1800, 1890, 1080, 720},
    {Control::Dis3BackGnd, 1800, 2730, 1080, 720},
    {Control::MainDisBackGnd, 3315, 1410, 2370, 1815},
    {Control::WWWBtn, 120, 3960, 2760, 270},
    {Control::Picture10, 5520, 180, 225, 225},
    {Control::Picture9, 5835, 180, 225, 225},
    {Control::Button10, 240, 3390, 1320, 255},
    {Control::Button9, 240, 3100, 1320, 255},
    {Control::Button8, 240, 2810, 1320, 255},
    {Control::Button7, 240, 2520, 1320, 255},
    {Control::Button6, 240, 2230, 1320, 255},
    {Control::Button5, 240, 1950, 1320, 255},
    {Control::Button4, 240, 1660, 1320, 255},
    {Control::Button3, 240, 1380, 1320, 255},
    {Control::Button2, 240, 1090, 1320, 255},
    {Control::Button1, 240, 810, 1320, 255},
}};

} // namespace

const ControlLayout& LayoutTable::Of(Control control) {
    return Layout[static_cast<std::size_t>(control)];
}

} // namespace slidevane
