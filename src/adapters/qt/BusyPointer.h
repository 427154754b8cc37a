#pragma once

#include "platform/Control.h"

#include <functional>

// The busy pointer over the program's window while it waits for the office: the calls of a
// double-click are synchronous, so the window handles no input until they return, and the
// pointer says so. It is on the screen before the wait begins; a message box the wait ends in
// gets the ordinary pointer while it shows.
//
// Owns: its one level of the application's override pointer, while it lives.
namespace slidevane {

class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    // `handler` with the busy pointer on while it handles a double-click.
    using Handler = std::function<void(Control, Event)>;
    static Handler ForDoubleClicks(Handler handler);

    // Takes the busy pointer off while a message box shows, and puts it back when this ends.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        int paused_ = 0;
    };

private:
    static void Flush();
    static int active_;
};

} // namespace slidevane
