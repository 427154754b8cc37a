#include "SyntheticPointer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <stdexcept>

namespace slidevane::bench {

namespace {

Display* Of(void* display) {
    return static_cast<Display*>(display);
}

} // namespace

SyntheticPointer::SyntheticPointer(const std::string& display) {
    Display* const connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        throw std::runtime_error("cannot open display " + display);
    }
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (XTestQueryExtension(connection, &event, &error, &major, &minor) == 0) {
        XCloseDisplay(connection);
        throw std::runtime_error("display " + display + " has no XTEST extension");
    }
    display_ = connection;
}

SyntheticPointer::~SyntheticPointer() {
    XCloseDisplay(Of(display_));
}

SyntheticPointer::Clock::time_point SyntheticPointer::MoveTo(int x, int y) {
    XTestFakeMotionEvent(Of(display_), 0, x, y, CurrentTime);
    XSync(Of(display_), False);
    return Clock::now();
}

SyntheticPointer::Clock::time_point SyntheticPointer::Press() {
    XTestFakeButtonEvent(Of(display_), 1, True, CurrentTime);
    XSync(Of(display_), False);
    return Clock::now();
}

SyntheticPointer::Clock::time_point SyntheticPointer::Release() {
    XTestFakeButtonEvent(Of(display_), 1, False, CurrentTime);
    XSync(Of(display_), False);
    return Clock::now();
}

bool SyntheticPointer::FindWindow(const std::string& title, unsigned long& found, int& x, int& y) {
    Display* const display = Of(display_);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return false;
    }
    bool matched = false;
    // Topmost last: the newest window of that title wins.
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        char* name = nullptr;
        if (XGetWindowAttributes(display, children[i], &attributes) == 0 ||
            attributes.map_state != IsViewable || XFetchName(display, children[i], &name) == 0 ||
            name == nullptr) {
            continue;
        }
        if (title == name) {
            found = children[i];
            x = attributes.x;
            y = attributes.y;
            matched = true;
        }
        XFree(name);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return matched;
}

void SyntheticPointer::Raise(unsigned long window) {
    XRaiseWindow(Of(display_), window);
    XSync(Of(display_), False);
}

} // namespace slidevane::bench
