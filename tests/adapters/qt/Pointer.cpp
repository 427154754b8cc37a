#include "Pointer.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>
#include <QtTest/qtestmouse.h>
#include <stdexcept>

namespace slidevane::test {

std::uint64_t Pointer::clock_ = 1'000'000;

Pointer::Pointer(QWidget& window) : window_(window.windowHandle()) {
    if (window_ == nullptr) {
        throw std::logic_error("the window has no native window yet: show it first");
    }
    Wait(5000);
    MoveTo(Background);
}

void Pointer::Send(QPoint at, int type, Qt::MouseButton button) {
    clock_ += 10;
    qt_handleMouseEvent(window_, QPointF(at), window_->mapToGlobal(QPointF(at)), held_, button,
                        static_cast<QEvent::Type>(type), Qt::NoModifier, static_cast<int>(clock_));
    QCoreApplication::processEvents();
}

void Pointer::MoveTo(QPoint at) {
    Send(at, QEvent::MouseMove, Qt::NoButton);
}

void Pointer::Press(QPoint at, Qt::MouseButton button) {
    held_ |= button;
    Send(at, QEvent::MouseButtonPress, button);
}

void Pointer::Release(QPoint at, Qt::MouseButton button) {
    held_ &= ~Qt::MouseButtons(button);
    Send(at, QEvent::MouseButtonRelease, button);
}

void Pointer::Click(QPoint at, Qt::MouseButton button) {
    Press(at, button);
    Release(at, button);
}

void Pointer::DoubleClick(QPoint at, Qt::MouseButton button) {
    Click(at, button);
    Wait(60);
    Click(at, button);
}

void Pointer::Wait(int milliseconds) {
    clock_ += static_cast<std::uint64_t>(milliseconds);
}

} // namespace slidevane::test
