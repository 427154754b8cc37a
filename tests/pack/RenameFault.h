#pragma once

#include <functional>

// Every rename of the test program goes through here (rename and renameat2 are defined by the
// test program itself and pass on to the system's), so that a test can stop a
// process of its own right after any one of them, or change the file system right before one:
// the moments between the steps of a commit, which no signal could hit reliably.
//
// Owns: the count of renames since it was armed and what happens at them. Disarmed, every rename
// passes straight through.
namespace slidevane::test {

class RenameFault {
public:
    // The process kills itself (SIGKILL) right after the `nth` rename from now, counted from 1.
    static void KillAfter(int nth);
    // Runs `action` right before the `nth` rename from now; renames in it pass through uncounted.
    static void Before(int nth, std::function<void()> action);
    static void Disarm();
    // Renames since the last arming.
    static int Count();
};

} // namespace slidevane::test
