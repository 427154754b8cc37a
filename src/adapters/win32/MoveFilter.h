#pragma once

#include "adapters/win32/WindowsApi.h"

#include <optional>

// Tells the pointer's moves from the move messages the system sends without one: when a capture
// ends, as after every click, it sends a move message at the unchanged place. Taken as a move,
// that message would repaint the strip right after a click, taking the current picture from the
// button of the category that was current before while the pointer has not moved.
//
// Owns: the screen place of the last move message that any window of the program received. It
// does not own the messages nor their delivery: the window and the controls tell it each move
// message and deliver MouseMove only for a real one. Screen coordinates, because the same place
// is reported relative to whichever window takes the message (a control, the background, or the
// control that holds the pointer while a button is down).
namespace slidevane {

class MoveFilter {
public:
    struct ScreenPoint {
        long x;
        long y;
        bool operator==(const ScreenPoint&) const = default;
    };

    // True when the pointer is at `at` now and was elsewhere at the last move message (or
    // there was none); `at` becomes the last place either way.
    bool Moved(ScreenPoint at);
    // The same for a WM_MOUSEMOVE that `window` received with `at` as its LPARAM.
    bool MessageMoved(HWND window, LPARAM at);

private:
    std::optional<ScreenPoint> last_;
};

} // namespace slidevane
