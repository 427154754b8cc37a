#include "adapters/win32/Win32Window.h"

#include "adapters/win32/DibPainter.h"
#include "platform/LayoutTable.h"

#include <cmath>
#include <string_view>

namespace slidevane {

namespace {

int Rounded(float value) {
    return static_cast<int>(std::lround(value));
}

// The names the stored pictures, the icon and the pointer carry in the program's resources.
constexpr const char* BackgroundResource = "BACKGROUND";
constexpr const char* IconResource = "SLIDEVANE3";
constexpr const char* HandResource = "HAND";

int LogicalDpiY() {
    HDC const screen = GetDC(nullptr);
    int const dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

} // namespace

Win32Window::Win32Window(HINSTANCE instance) : instance_(instance) {
    icon_ = LoadIconA(instance, IconResource);
    hand_ = LoadCursorA(instance, HandResource);
    background_ = StoredPicture(BackgroundResource);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32Window::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon_;
    windowClass.hIconSm = icon_;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    RegisterClassExA(&windowClass);
    Win32PictureControl::RegisterClass(instance);

    formWidth_ = LayoutTable::FormWidthTwips;
    formHeight_ = LayoutTable::FormHeightTwips;
    // WS_POPUP: no border and no title bar, so the outer size is the client size.
    window_ = CreateWindowExA(0, ClassName, Caption, WS_POPUP | WS_CLIPCHILDREN, CW_USEDEFAULT,
                              CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    ApplyFormSize();

    // Created bottom first: each new child goes on top of its siblings, as the layout stacks them.
    float const twipsPerPixel = TwipsPerPixel();
    for (Control control : AllControls) {
        auto& slot = controls_[static_cast<std::size_t>(control)];
        slot = std::make_unique<Win32PictureControl>(control, window_, instance, sequencer_, moves_,
                                                     handler_, background_,
                                                     control == Control::WWWBtn ? hand_ : nullptr);
        slot->SetPicture(StoredPicture(std::string(ControlName(control)).c_str()));
        ControlLayout const& layout = LayoutTable::Of(control);
        slot->SetGeometry(Property::Left, layout.left / twipsPerPixel);
        slot->SetGeometry(Property::Top, layout.top / twipsPerPixel);
        slot->SetGeometry(Property::Width, layout.width / twipsPerPixel);
        slot->SetGeometry(Property::Height, layout.height / twipsPerPixel);
    }
}

Win32Window::~Win32Window() {
    for (auto& control : controls_) {
        control.reset();
    }
    if (window_ != nullptr && IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void Win32Window::SetEventHandler(Win32PictureControl::EventHandler handler) {
    handler_ = std::move(handler);
}

void Win32Window::Show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

Win32PictureControl& Win32Window::ControlAt(Control control) const {
    return *controls_[static_cast<std::size_t>(control)];
}

const Win32PictureControl& Win32Window::ControlWindow(Control control) const {
    return ControlAt(control);
}

float Win32Window::TwipsPerPixel() const {
    return 1440.0f / static_cast<float>(LogicalDpiY());
}

SharedPicture Win32Window::StoredPicture(const char* name) {
    HMODULE const module = GetModuleHandleA(nullptr);
    HRSRC const resource = FindResourceA(module, name, MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL const loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    void const* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return nullptr;
    }
    return PictureLoader::Stored(
        std::string_view(static_cast<const char*>(bytes), SizeofResource(module, resource)));
}

void Win32Window::LoadPicture(Control control, const std::string& path) {
    // Decoded completely before the control changes, so a failure leaves its picture in place.
    // Only the part the control shows is decoded. Controls change size only in the start-up
    // compensation, which shrinks them before any file is loaded.
    Win32PictureControl& target = ControlAt(control);
    target.SetPicture(pictures_.Load(path, target.ShownWidth(), target.ShownHeight()));
}

void Win32Window::SetFormWidth(float twips) {
    formWidth_ = twips;
    ApplyFormSize();
}

void Win32Window::SetFormHeight(float twips) {
    formHeight_ = twips;
    ApplyFormSize();
}

void Win32Window::ApplyFormSize() {
    float const twipsPerPixel = TwipsPerPixel();
    SetWindowPos(window_, nullptr, 0, 0, Rounded(formWidth_ / twipsPerPixel),
                 Rounded(formHeight_ / twipsPerPixel), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

float Win32Window::ControlProperty(Control control, Property property) const {
    return ControlAt(control).Geometry(property);
}

void Win32Window::SetControlProperty(Control control, Property property, float pixels) {
    ControlAt(control).SetGeometry(property, pixels);
}

float Win32Window::ScaleHeight() const {
    return LayoutTable::FormHeightTwips / TwipsPerPixel();
}

void Win32Window::Minimize() {
    ShowWindow(window_, SW_MINIMIZE);
}

void Win32Window::Unload() {
    DestroyWindow(window_);
    PostQuitMessage(0);
}

LRESULT CALLBACK Win32Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto const* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Win32Window*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC const dc = BeginPaint(window_, &paint);
        if (background_) {
            // 1:1 from the top-left corner; the window's edges cut off what lies beyond them.
            DibPainter::Draw(dc, background_->pixels.data(), background_->width,
                             background_->height, 0, 0);
        }
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        // The background delivers nothing, but the pointer passing over it is a move: coming
        // back to a control at the place it left it is a move there again.
        moves_.MessageMoved(window_, lParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The background delivers no event, but its press ends any double-click pairing.
        sequencer_.PressOnBackground();
        [[fallthrough]];
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        // Held buttons keep the pointer's events with the background, which ignores them: a drag
        // from the background onto a control gives that control nothing.
        SetCapture(window_);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == window_) {
            ReleaseCapture();
        }
        return 0;
    case WM_CLOSE:
        // Alt+F4 and the taskbar's close: the window closes the way the close glyph closes it.
        Unload();
        return 0;
    case WM_DESTROY:
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

} // namespace slidevane
