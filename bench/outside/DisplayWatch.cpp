#include "DisplayWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace slidevane::bench {

namespace {

// A window may go between its map and the question about its title.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string Title(Display* display, Window window) {
    Atom const netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom const utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &items,
                           &after, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), items);
        XFree(data);
    }
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(display, window, &name) != 0 && name != nullptr) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

const char* EventName(int type) {
    switch (type) {
    case CreateNotify:
        return "create";
    case MapNotify:
        return "map";
    case UnmapNotify:
        return "unmap";
    case DestroyNotify:
        return "destroy";
    case ConfigureNotify:
        return "configure";
    case ReparentNotify:
        return "reparent";
    case PropertyNotify:
        return "property";
    default:
        return "other";
    }
}

void Trace(Display* display, const XEvent& event, std::chrono::steady_clock::time_point when) {
    double const ms = std::chrono::duration<double, std::milli>(when.time_since_epoch()).count();
    Window const window =
        event.type == PropertyNotify ? event.xproperty.window : event.xcreatewindow.window;
    std::string detail;
    if (event.type == PropertyNotify) {
        char* name = XGetAtomName(display, event.xproperty.atom);
        detail = name != nullptr ? name : "?";
        XFree(name);
        if (event.xproperty.atom == XA_WM_NAME) {
            detail += " \"" + Title(display, window) + "\"";
        }
    } else if (event.type == MapNotify) {
        detail = "\"" + Title(display, window) + "\"";
    } else if (event.type == CreateNotify) {
        detail = std::to_string(event.xcreatewindow.width) + "x" +
                 std::to_string(event.xcreatewindow.height);
    }
    std::fprintf(stderr, "x %.1f %s 0x%lx %s\n", ms, EventName(event.type), window, detail.c_str());
}

} // namespace

DisplayWatch::DisplayWatch(const std::string& display) {
    Display* const connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        throw std::runtime_error("cannot open display " + display);
    }
    XSetErrorHandler(IgnoreErrors);
    XSelectInput(connection, DefaultRootWindow(connection), SubstructureNotifyMask);
    XSync(connection, False);
    display_ = connection;
    trace_ = std::getenv("OUTSIDE_BENCH_TRACE") != nullptr;
    if (pipe2(wake_, O_CLOEXEC) != 0) {
        XCloseDisplay(connection);
        throw std::runtime_error("cannot make a pipe");
    }
    thread_ = std::thread([this] { Run(); });
}

DisplayWatch::~DisplayWatch() {
    char const stop = 0;
    (void)!write(wake_[1], &stop, 1);
    thread_.join();
    close(wake_[0]);
    close(wake_[1]);
    XCloseDisplay(static_cast<Display*>(display_));
}

void DisplayWatch::Run() {
    auto* const display = static_cast<Display*>(display_);
    Atom const wmName = XA_WM_NAME;
    Atom const netName = XInternAtom(display, "_NET_WM_NAME", False);
    struct Seen {
        XEvent event;
        Clock::time_point when;
    };
    for (;;) {
        pollfd waits[2] = {{ConnectionNumber(display), POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (XPending(display) == 0) {
            if (poll(waits, 2, -1) < 0) {
                continue;
            }
            if ((waits[1].revents & POLLIN) != 0) {
                return;
            }
        }
        // Each event is stamped as it is read; titles are asked for afterwards, so that a round
        // trip never delays the stamp of an event already here.
        std::vector<Seen> seen;
        while (XPending(display) > 0) {
            Seen one{};
            XNextEvent(display, &one.event);
            one.when = Clock::now();
            seen.push_back(one);
        }
        for (const Seen& one : seen) {
            XEvent const& event = one.event;
            if (trace_) {
                Trace(display, event, one.when);
            }
            if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)) {
                XSelectInput(display, event.xmap.window, PropertyChangeMask);
                std::string const title = Title(display, event.xmap.window);
                std::lock_guard lock(mutex_);
                maps_.push_back({one.when, event.xmap.window, title});
                up_.push_back(event.xmap.window);
            } else if (event.type == UnmapNotify || event.type == DestroyNotify) {
                Window const gone =
                    event.type == UnmapNotify ? event.xunmap.window : event.xdestroywindow.window;
                std::lock_guard lock(mutex_);
                up_.erase(std::remove(up_.begin(), up_.end(), gone), up_.end());
            } else if (event.type == PropertyNotify &&
                       (event.xproperty.atom == wmName || event.xproperty.atom == netName)) {
                // A window shown under one title and named later is that later window from
                // the moment it is named.
                std::string const title = Title(display, event.xproperty.window);
                std::lock_guard lock(mutex_);
                if (std::find(up_.begin(), up_.end(), event.xproperty.window) != up_.end()) {
                    maps_.push_back({one.when, event.xproperty.window, title, false});
                }
            }
        }
        changed_.notify_all();
    }
}

std::optional<DisplayWatch::Map> DisplayWatch::WaitForMap(const std::string& titlePart,
                                                          Clock::time_point after,
                                                          std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    std::optional<Map> found;
    changed_.wait_for(lock, timeout, [&] {
        for (const Map& map : maps_) {
            if (map.when >= after && map.title.find(titlePart) != std::string::npos) {
                found = map;
                return true;
            }
        }
        return false;
    });
    return found;
}

std::optional<DisplayWatch::Clock::time_point> DisplayWatch::MappedAt(unsigned long window,
                                                                      Clock::time_point before) {
    std::lock_guard lock(mutex_);
    std::optional<Clock::time_point> mapped;
    for (const Map& map : maps_) {
        if (map.map && map.window == window && map.when <= before) {
            mapped = map.when;
        }
    }
    return mapped;
}

std::vector<DisplayWatch::Map> DisplayWatch::Mapped(const std::string& titlePart) {
    std::lock_guard lock(mutex_);
    // The latest title of each window shown now.
    std::vector<Map> latest;
    for (const Map& map : maps_) {
        if (std::find(up_.begin(), up_.end(), map.window) == up_.end()) {
            continue;
        }
        auto const same = std::find_if(latest.begin(), latest.end(),
                                       [&](const Map& s) { return s.window == map.window; });
        if (same == latest.end()) {
            latest.push_back(map);
        } else {
            same->title = map.title;
        }
    }
    std::erase_if(latest,
                  [&](const Map& map) { return map.title.find(titlePart) == std::string::npos; });
    return latest;
}

} // namespace slidevane::bench
