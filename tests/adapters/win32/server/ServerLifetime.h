#pragma once

// How long the test server lives: while it holds objects or locks, and a short while after, so
// that a second activation right after the first attempt's release finds it still serving.
//
// Owns: the count of live objects and server locks, and the time of the last activity.
namespace slidevane::testoffice {

class ServerLifetime {
public:
    static void Acquire();
    static void Release();
    // An activation, answered or refused: the client may come back at once for another.
    static void Touch();
    // True once nothing has been held for `idleMilliseconds`.
    static bool IdleFor(unsigned long idleMilliseconds);
};

} // namespace slidevane::testoffice
