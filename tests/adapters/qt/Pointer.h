#pragma once

#include <QPoint>
#include <Qt>
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

    // Window coordinates; the left button unless another is named. Buttons are held
    // independently: a second button may be pressed while the first is down.
    void MoveTo(QPoint at);
    void Press(QPoint at, Qt::MouseButton button = Qt::LeftButton);
    void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton);
    void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton);
    // Two presses 80 ms apart at one place.
    void DoubleClick(QPoint at, Qt::MouseButton button = Qt::LeftButton);
    // Lets time pass on the events' clock.
    void Wait(int milliseconds);

private:
    void Send(QPoint at, int type, Qt::MouseButton button);

    QWindow* window_;
    Qt::MouseButtons held_;
    static std::uint64_t clock_;
};

} // namespace slidevane::test
