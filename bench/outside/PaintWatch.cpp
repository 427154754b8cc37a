#include "PaintWatch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace slidevane::bench {

namespace {

Display* Of(void* display) {
    return static_cast<Display*>(display);
}

// The bytes of one strip of the window, or empty when the window is gone.
std::string Strip(Display* display, Window window, int x, int y, unsigned width, unsigned height) {
    XImage* const image = XGetImage(display, window, x, y, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {};
    }
    std::string bytes(image->data, static_cast<std::size_t>(image->bytes_per_line) * height);
    XDestroyImage(image);
    return bytes;
}

} // namespace

PaintWatch::PaintWatch(const std::string& display) {
    display_ = XOpenDisplay(display.c_str());
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open display " + display);
    }
}

PaintWatch::~PaintWatch() {
    XCloseDisplay(Of(display_));
}

PaintWatch::Clock::time_point PaintWatch::LastChange(unsigned long window, Clock::time_point since,
                                                     std::chrono::milliseconds quiet,
                                                     std::chrono::milliseconds timeout) {
    Display* const display = Of(display_);
    Clock::time_point const until = Clock::now() + timeout;
    Clock::time_point changed = since;
    std::string last;
    bool const trace = std::getenv("OUTSIDE_BENCH_TRACE") != nullptr;
    while (Clock::now() < until) {
        XWindowAttributes attributes;
        std::string now;
        if (XGetWindowAttributes(display, window, &attributes) != 0 &&
            attributes.map_state == IsViewable && attributes.width > 0 && attributes.height > 0) {
            auto const width = static_cast<unsigned>(attributes.width);
            // Two rows through the panes, the slide and the sidebar; the status bar below, where
            // the pointer waits and its tooltips come up, is no part of it.
            now = Strip(display, window, 0, attributes.height / 3, width, 1) +
                  Strip(display, window, 0, attributes.height / 2, width, 1);
        }
        Clock::time_point const sampled = Clock::now();
        if (now != last) {
            if (trace) {
                std::fprintf(
                    stderr, "paint %.1f 0x%lx changed\n",
                    std::chrono::duration<double, std::milli>(sampled.time_since_epoch()).count(),
                    window);
            }
            changed = sampled;
            last = std::move(now);
        } else if (sampled - changed >= quiet) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    return changed;
}

} // namespace slidevane::bench
