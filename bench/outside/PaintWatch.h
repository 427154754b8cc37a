#pragma once

#include <chrono>
#include <string>

// Tells when a window's picture on the screen stops changing: it samples two rows of the window
// (at a third and at half its height) from the X server every few milliseconds and keeps the
// moment of the last change. A window mapped empty and filled later, or laid out again after its
// map, settles only once its content is drawn.
//
// Owns: its own connection to the display. It reads pixels and changes nothing.
namespace slidevane::bench {

class PaintWatch {
public:
    using Clock = std::chrono::steady_clock;

    explicit PaintWatch(const std::string& display);
    ~PaintWatch();
    PaintWatch(const PaintWatch&) = delete;
    PaintWatch& operator=(const PaintWatch&) = delete;

    // The moment of the last change of `window`'s sampled pixels (the first sample counts as
    // one), once they have not changed for `quiet`, or after `timeout`; `since` if the window
    // cannot be read.
    Clock::time_point LastChange(unsigned long window, Clock::time_point since,
                                 std::chrono::milliseconds quiet,
                                 std::chrono::milliseconds timeout);

private:
    void* display_ = nullptr; // Display*
};

} // namespace slidevane::bench
