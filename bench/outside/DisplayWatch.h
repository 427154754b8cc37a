#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Watches an X display from a connection and a thread of its own for top-level windows being
// mapped, and notes the moment each map reaches this process, with the window's title. The
// display has no window manager, so a program's top-level window is a child of the root and its
// map is what puts it on the screen. A shown window whose title changes counts as shown anew
// under the new title from that moment: the office shows the frame of a document it opens from
// its command line before the document is in it, and names it after the document once it is.
//
// Owns: its connection and its thread. It changes nothing on the display.
namespace slidevane::bench {

class DisplayWatch {
public:
    using Clock = std::chrono::steady_clock;

    struct Map {
        Clock::time_point when;
        unsigned long window = 0;
        std::string title;
        bool map = true; // false: a shown window's new title
    };

    // Throws std::runtime_error when the display cannot be opened.
    explicit DisplayWatch(const std::string& display);
    ~DisplayWatch();
    DisplayWatch(const DisplayWatch&) = delete;
    DisplayWatch& operator=(const DisplayWatch&) = delete;

    // The first moment at or after `after` at which a shown window has a title containing
    // `titlePart` (its map, or the naming of a window already shown), waiting up to `timeout`.
    std::optional<Map> WaitForMap(const std::string& titlePart, Clock::time_point after,
                                  std::chrono::milliseconds timeout);
    // When `window` was last mapped at or before `before`.
    std::optional<Clock::time_point> MappedAt(unsigned long window, Clock::time_point before);
    // The windows shown now whose title contains `titlePart`.
    std::vector<Map> Mapped(const std::string& titlePart);

private:
    void Run();

    void* display_ = nullptr; // Display*, used by the thread alone once it runs
    int wake_[2] = {-1, -1};
    bool trace_ = false; // every event on standard error (OUTSIDE_BENCH_TRACE set)
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Map> maps_;         // every map and every new title of a shown window, in order
    std::vector<unsigned long> up_; // windows mapped now
    std::thread thread_;
};

} // namespace slidevane::bench
