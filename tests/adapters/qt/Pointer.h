#pragma once

#include <QPoint>
#include <cstdint>

class QWidget;
class QWindow;

// The mouse, driven through the window system's entry point of the window (as a display server
// would deliver it), so that Qt's implicit grab and its double-click pairing take part. Every
// event carries an explicit timestamp from one clock shared by all tests.
namespace slidevane::test {

class Pointer {
public:
    // Parks the pointer on the background, well after any earlier test's last press: Qt drops a
    // move to the position of the previous event and pairs presses across windows by time.
    explicit Pointer(QWidget& window);

    static constexpr QPoint Background{410, 280};

    void MoveTo(QPoint at); // window coordinates
    void Press(QPoint at);
    void Release(QPoint at);
    void Click(QPoint at);
    // Two presses 80 ms apart at one place.
    void DoubleClick(QPoint at);
    // Lets time pass on the events' clock.
    void Wait(int milliseconds);

private:
    void Send(QPoint at, int type, bool buttonChanges);

    QWindow* window_;
    bool down_ = false;
    static std::uint64_t clock_;
};

} // namespace slidevane::test
