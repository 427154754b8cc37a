#pragma once

#include "Pointer.h"
#include "platform/Control.h"

#include <QPoint>
#include <QRect>
#include <random>

namespace slidevane {
class Form1;
class QtWindow;
} // namespace slidevane

// A user who never stops: random moves over the controls and the background, clicks, presses
// carried elsewhere before the release, double-clicks on thumbnails that have a template, with
// random pauses between, all through the window system's entry point. It never goes near the
// close and minimize glyphs, so the window stays up for the whole run, and never presses the web
// button, which would hand the address to a desktop that has no browser here.
//
// Owns: the random choices and the count of pointer events sent. It does not measure anything.
namespace slidevane::bench {

class RandomSession {
public:
    RandomSession(QtWindow& window, const Form1& form, unsigned seed);

    // One action of the user; returns the number of pointer events it sent.
    int Act();
    long DoubleClicks() const { return doubleClicks_; }

private:
    QPoint InControl(Control control);
    QPoint Anywhere();          // in the window, the glyphs excepted
    QPoint Pressable();         // anywhere a press may go: neither a glyph nor the web button
    QPoint AnywhereOrOutside(); // also past the window's edges, where a held button still goes
    bool OnGlyph(QPoint at) const;
    Control AnyControl();
    Control AnyPressable();
    int Pick(int count);

    QtWindow& window_;
    const Form1& form_;
    test::Pointer pointer_;
    std::mt19937 random_;
    QRect glyphs_;
    QRect web_;
    long doubleClicks_ = 0;
};

} // namespace slidevane::bench
