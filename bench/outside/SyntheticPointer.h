#pragma once

#include <chrono>
#include <string>

// The user's mouse on an X display, through the XTEST extension: the server takes each move,
// press and release as if the device had made it and hands it to the window under the pointer.
// Every action returns once the server has taken it (a round trip), so the moment it returns is
// the moment the event went to the window.
//
// Owns: its own connection to the display. It does not know what is on the screen.
namespace slidevane::bench {

class SyntheticPointer {
public:
    using Clock = std::chrono::steady_clock;

    // Throws std::runtime_error when the display cannot be opened or has no XTEST.
    explicit SyntheticPointer(const std::string& display);
    ~SyntheticPointer();
    SyntheticPointer(const SyntheticPointer&) = delete;
    SyntheticPointer& operator=(const SyntheticPointer&) = delete;

    Clock::time_point MoveTo(int x, int y);
    Clock::time_point Press();
    Clock::time_point Release();

    // The top-level window whose title is exactly `title`, and where it is: false when none is
    // mapped.
    bool FindWindow(const std::string& title, unsigned long& window, int& x, int& y);
    void Raise(unsigned long window);

private:
    void* display_ = nullptr; // Display*
};

} // namespace slidevane::bench
