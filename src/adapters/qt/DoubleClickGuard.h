#pragma once

#include <cstdint>

class QObject;

// Remembers which target took the last mouse press of the window and when, so that a
// double-click is accepted only when both presses hit the same control.
//
// Owns: the last press's target and timestamp, shared by every picture control and the
// background. It does not deliver events; the controls ask it and tell it.
namespace slidevane {

class DoubleClickGuard {
public:
    // `target` is the control (or the background, or nothing) that took the press.
    void Remember(const QObject* target, std::uint64_t timestamp);
    // Qt pairs presses by time and distance only, so a fast click on one strip button and then
    // on its neighbour arrives as a double-click on the neighbour. It is one only when the
    // previous press hit the same target within the double-click interval.
    bool Pairs(const QObject* target, std::uint64_t timestamp) const;
    void Forget();

private:
    const QObject* target_ = nullptr;
    std::uint64_t timestamp_ = 0;
    bool valid_ = false;
};

} // namespace slidevane
