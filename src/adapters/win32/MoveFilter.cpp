#include "adapters/win32/MoveFilter.h"

#include <windowsx.h>

namespace slidevane {

bool MoveFilter::Moved(ScreenPoint at) {
    bool const moved = last_ != at;
    last_ = at;
    return moved;
}

bool MoveFilter::MessageMoved(HWND window, LPARAM at) {
    // Signed: moves captured outside the window carry negative coordinates.
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    ClientToScreen(window, &point);
    return Moved({point.x, point.y});
}

} // namespace slidevane
