#pragma once

#include <QPointF>
#include <cstdint>

class QObject;

// Decides which presses of the window make a double-click: the second of two presses of the same
// button on the same control, within the double-click interval and distance, whose first press
// was not itself the second of a pair.
//
// Owns: the last plain press's target, button, place and time, shared by every picture control
// and the background. It does not deliver events; the controls ask it and tell it. Qt pairs
// presses by time and distance alone, across controls, and forgets a pair it was refused, so the
// pairing is decided here for every press rather than left to Qt's double-click event.
namespace slidevane {

class DoubleClickGuard {
public:
    struct Press {
        const QObject* target; // the control, the background, or nothing
        int button;
        QPointF global;
        std::uint64_t timestamp;
    };

    // True when `press` completes a double-click with the remembered press; the pair is then
    // used up. Otherwise `press` is remembered as a plain press.
    bool PairsWith(const Press& press);

private:
    Press last_{nullptr, 0, {}, 0};
    bool valid_ = false;
};

} // namespace slidevane
