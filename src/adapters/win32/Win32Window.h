#pragma once

#include "adapters/win32/ClickSequencer.h"
#include "adapters/win32/MoveFilter.h"
#include "adapters/win32/Win32PictureControl.h"
#include "adapters/win32/Win32PictureFiles.h"
#include "adapters/win32/WindowsApi.h"
#include "picture/PictureLoader.h"
#include "platform/WindowPort.h"

#include <array>
#include <memory>

// The one window on Windows: a borderless, fixed-size popup window that draws the stored
// background picture and holds the seventeen picture controls at the places of the layout table,
// each showing its stored picture from the moment the window exists.
//
// Owns: the top-level window, the background, the controls, the window's outer size in twips and
// how it is rounded onto the screen, the window-wide press and move rules, and the picture
// loader with the pictures it has decoded. It does not own what the events mean (the handler,
// which main points at Form1), how pictures are decoded (the picture room), the message box or
// the message loop.
namespace slidevane {

class Win32Window : public WindowPort {
public:
    static constexpr const char* ClassName = "Slidevane3Window";
    static constexpr const char* Caption = "Slidevane";

    // Creates the window hidden; Show() puts it on the screen.
    explicit Win32Window(HINSTANCE instance);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Every control's events go to this one handler.
    void SetEventHandler(Win32PictureControl::EventHandler handler);
    void Show();

    HWND Handle() const { return window_; }
    const Win32PictureControl& ControlWindow(Control control) const;
    const SharedPicture& Background() const { return background_; }
    // A picture stored in this program's resources as RCDATA under `name`, decoded whole; null
    // when the program carries none of that name.
    static SharedPicture StoredPicture(const char* name);
    // 1440 over the display's logical dots per inch: 15 at the designed 96.
    float TwipsPerPixel() const;

    void LoadPicture(Control control, const std::string& path) override;
    float FormWidth() const override { return formWidth_; }
    float FormHeight() const override { return formHeight_; }
    void SetFormWidth(float twips) override;
    void SetFormHeight(float twips) override;
    float ControlProperty(Control control, Property property) const override;
    void SetControlProperty(Control control, Property property, float pixels) override;
    float ScaleHeight() const override;
    void Minimize() override;
    void Unload() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyFormSize();
    Win32PictureControl& ControlAt(Control control) const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    HCURSOR hand_ = nullptr;
    SharedPicture background_;
    Win32PictureFiles files_;
    PictureLoader pictures_{files_};
    ClickSequencer sequencer_;
    MoveFilter moves_;
    Win32PictureControl::EventHandler handler_;
    std::array<std::unique_ptr<Win32PictureControl>, ControlCount> controls_;
    float formWidth_ = 0;
    float formHeight_ = 0;
};

} // namespace slidevane
