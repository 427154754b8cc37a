#pragma once

#include "adapters/win32/ClickSequencer.h"
#include "adapters/win32/MoveFilter.h"
#include "adapters/win32/WindowsApi.h"
#include "picture/DecodedPictures.h"
#include "platform/Control.h"
#include "platform/WindowPort.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// One picture control: a child window that draws its picture 1:1 from its top-left corner,
// clipped to its own rectangle, over the part of the window's background it covers (so that
// transparent parts of a GIF show the background), and turns the mouse messages it receives
// into the control's events. It is repainted only when its picture changes.
//
// Owns: its child window, its picture and what it shows (the picture over the background, made
// once per picture and place), its place and size as unrounded pixels and how they are rounded
// onto the screen, the pointer capture while a button is held on it. It does not own the
// window-wide press and move rules (ClickSequencer, MoveFilter), the decoding of pictures (the
// picture room) nor what the events mean (the handler it is given).
namespace slidevane {

class Win32PictureControl {
public:
    using EventHandler = std::function<void(Control, Event)>;

    static constexpr const char* ClassName = "Slidevane3Picture";
    static void RegisterClass(HINSTANCE instance);

    // `background` is the window's, drawn beneath the picture; `handler` receives every event.
    Win32PictureControl(Control control, HWND parent, HINSTANCE instance, ClickSequencer& sequencer,
                        MoveFilter& moves, const EventHandler& handler, SharedPicture background,
                        HCURSOR pointer);
    ~Win32PictureControl();
    Win32PictureControl(const Win32PictureControl&) = delete;
    Win32PictureControl& operator=(const Win32PictureControl&) = delete;

    HWND Handle() const { return window_; }
    Control Which() const { return control_; }

    // Invalidates the control only when `picture` is another picture than the one it shows.
    void SetPicture(SharedPicture picture);
    const SharedPicture& Picture() const { return picture_; }

    float Geometry(Property property) const { return geometry_[Slot(property)]; }
    void SetGeometry(Property property, float pixels);
    // The size on the screen, in whole pixels: what a picture loaded into it is cut to.
    int ShownWidth() const;
    int ShownHeight() const;

    // Paints what the control shows into `dc`, whose origin is the control's top-left corner.
    void Paint(HDC dc) const;

private:
    static std::size_t Slot(Property property) { return static_cast<std::size_t>(property); }
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPress(MouseButton button, bool doubleClick);
    void OnRelease(MouseButton button, WPARAM keys, LPARAM at);
    void Deliver(const std::vector<Event>& events);
    void Place();
    void Compose() const;

    Control control_;
    ClickSequencer& sequencer_;
    MoveFilter& moves_;
    const EventHandler& handler_;
    SharedPicture background_;
    HCURSOR pointer_;
    SharedPicture picture_;
    std::array<float, 4> geometry_{};
    // What the control shows, row by row, made at the first paint after a change; empty when it
    // is to be made again.
    mutable std::vector<std::uint32_t> shown_;
    mutable int shownWidth_ = 0;
    mutable int shownHeight_ = 0;
    HWND window_ = nullptr;
};

} // namespace slidevane
