#include "adapters/win32/Win32PictureControl.h"

#include <cmath>
#include <windowsx.h>

namespace slidevane {

namespace {

int Rounded(float pixels) {
    return static_cast<int>(std::lround(pixels));
}

} // namespace

void Win32PictureControl::RegisterClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // Without CS_DBLCLKS the second press of a double-click arrives as a plain press.
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &Win32PictureControl::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ClassName;
    RegisterClassExA(&windowClass);
}

Win32PictureControl::Win32PictureControl(Control control, HWND parent, HINSTANCE instance,
                                         ClickSequencer& sequencer, MoveFilter& moves,
                                         const EventHandler& handler, const OlePicture& background,
                                         HCURSOR pointer)
    : control_(control), sequencer_(sequencer), moves_(moves), handler_(handler),
      background_(background), pointer_(pointer) {
    std::string const name(ControlName(control));
    picture_ = OlePicture::FromResource(name.c_str());
    window_ = CreateWindowExA(0, ClassName, name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                              0, 0, 0, 0, parent, nullptr, instance, this);
}

Win32PictureControl::~Win32PictureControl() {
    if (window_ != nullptr && IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void Win32PictureControl::SetPicture(OlePicture picture) {
    picture_ = std::move(picture);
    InvalidateRect(window_, nullptr, FALSE);
}

void Win32PictureControl::SetGeometry(Property property, float pixels) {
    geometry_[Slot(property)] = pixels;
    Place();
}

void Win32PictureControl::Place() {
    // The values stay unrounded so that the start-up compensation scales what the layout says,
    // not what an earlier rounding made of it.
    using enum Property;
    MoveWindow(window_, Rounded(geometry_[Slot(Left)]), Rounded(geometry_[Slot(Top)]),
               Rounded(geometry_[Slot(Width)]), Rounded(geometry_[Slot(Height)]), TRUE);
}

void Win32PictureControl::Paint(HDC dc) const {
    RECT place{};
    GetWindowRect(window_, &place);
    MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&place), 2);
    background_.Draw(dc, -place.left, -place.top);
    picture_.Draw(dc, 0, 0);
}

LRESULT CALLBACK Win32PictureControl::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto const* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Win32PictureControl*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32PictureControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32PictureControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC const dc = BeginPaint(window_, &paint);
        Paint(dc);
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(pointer_ != nullptr ? pointer_ : LoadCursor(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (moves_.MessageMoved(window_, lParam)) {
            Deliver({Event::MouseMove});
        }
        return 0;
    case WM_LBUTTONDOWN:
        OnPress(MouseButton::Left, false);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnPress(MouseButton::Left, true);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        OnPress(MouseButton::Right, false);
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        OnPress(MouseButton::Middle, false);
        return 0;
    case WM_LBUTTONUP:
        OnRelease(MouseButton::Left, wParam, lParam);
        return 0;
    case WM_RBUTTONUP:
        OnRelease(MouseButton::Right, wParam, lParam);
        return 0;
    case WM_MBUTTONUP:
        OnRelease(MouseButton::Middle, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window_) {
            sequencer_.CaptureLost();
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void Win32PictureControl::OnPress(MouseButton button, bool doubleClick) {
    // Moves and the release go to the pressed control wherever the pointer goes meanwhile.
    SetCapture(window_);
    Deliver(sequencer_.Press(control_, button, doubleClick));
}

void Win32PictureControl::OnRelease(MouseButton button, WPARAM keys, LPARAM at) {
    RECT client{};
    GetClientRect(window_, &client);
    // Captured releases outside the control carry negative or too-large coordinates.
    POINT const point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    std::vector<Event> const events =
        sequencer_.Release(control_, button, PtInRect(&client, point));
    // The events are decided before the capture goes: releasing it sends WM_CAPTURECHANGED.
    if ((keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == window_) {
        ReleaseCapture();
    }
    Deliver(events);
}

void Win32PictureControl::Deliver(const std::vector<Event>& events) {
    for (Event event : events) {
        if (handler_) {
            handler_(control_, event);
        }
    }
}

} // namespace slidevane
