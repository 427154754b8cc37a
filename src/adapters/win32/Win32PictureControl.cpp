#include "adapters/win32/Win32PictureControl.h"

#include "adapters/win32/DibPainter.h"

#include <algorithm>
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
                                         const EventHandler& handler, SharedPicture background,
                                         HCURSOR pointer)
    : control_(control), sequencer_(sequencer), moves_(moves), handler_(handler),
      background_(std::move(background)), pointer_(pointer) {
    std::string const name(ControlName(control));
    window_ = CreateWindowExA(0, ClassName, name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                              0, 0, 0, 0, parent, nullptr, instance, this);
}

Win32PictureControl::~Win32PictureControl() {
    if (window_ != nullptr && IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void Win32PictureControl::SetPicture(SharedPicture picture) {
    // The picture room gives the same object for the same bytes and size: a hover reloads mostly
    // the pictures already shown, and those cost no paint.
    if (picture == picture_) {
        return;
    }
    picture_ = std::move(picture);
    shown_.clear();
    InvalidateRect(window_, nullptr, FALSE);
}

void Win32PictureControl::SetGeometry(Property property, float pixels) {
    geometry_[Slot(property)] = pixels;
    shown_.clear();
    Place();
}

int Win32PictureControl::ShownWidth() const {
    return std::max(Rounded(geometry_[Slot(Property::Width)]), 0);
}

int Win32PictureControl::ShownHeight() const {
    return std::max(Rounded(geometry_[Slot(Property::Height)]), 0);
}

void Win32PictureControl::Place() {
    // The values stay unrounded so that the start-up compensation scales what the layout says,
    // not what an earlier rounding made of it.
    using enum Property;
    MoveWindow(window_, Rounded(geometry_[Slot(Left)]), Rounded(geometry_[Slot(Top)]),
               Rounded(geometry_[Slot(Width)]), Rounded(geometry_[Slot(Height)]), TRUE);
}

void Win32PictureControl::Compose() const {
    // The place as it is on the screen: the rounded geometry, as Place() put it there.
    using enum Property;
    int const left = Rounded(geometry_[Slot(Left)]);
    int const top = Rounded(geometry_[Slot(Top)]);
    shownWidth_ = ShownWidth();
    shownHeight_ = ShownHeight();
    shown_.assign(static_cast<std::size_t>(shownWidth_) * static_cast<std::size_t>(shownHeight_),
                  0xff000000u);
    auto overlay = [&](const GifPicture& picture, int x0, int y0) {
        // Pixels with alpha 0 are the transparent ones; every other pixel is opaque.
        int const fromX = std::max(0, x0);
        int const toX = std::min(shownWidth_, x0 + picture.width);
        for (int y = std::max(0, y0); y < std::min(shownHeight_, y0 + picture.height); ++y) {
            std::uint32_t const* in = picture.pixels.data() +
                                      static_cast<std::size_t>(y - y0) * picture.width +
                                      (fromX - x0);
            std::uint32_t* out = shown_.data() + static_cast<std::size_t>(y) * shownWidth_ + fromX;
            for (int x = fromX; x < toX; ++x, ++in, ++out) {
                if ((*in >> 24) != 0) {
                    *out = *in;
                }
            }
        }
    };
    if (background_) {
        overlay(*background_, -left, -top);
    }
    if (picture_) {
        overlay(*picture_, 0, 0);
    }
}

void Win32PictureControl::Paint(HDC dc) const {
    if (shown_.empty()) {
        Compose();
    }
    DibPainter::Draw(dc, shown_.data(), shownWidth_, shownHeight_, 0, 0);
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
