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

void Pointer::Send(QPoint at, int type, bool buttonChanges) {
    clock_ += 10;
    auto const eventType = static_cast<QEvent::Type>(type);
    Qt::MouseButtons const held = down_ ? Qt::LeftButton : Qt::NoButton;
    qt_handleMouseEvent(window_, QPointF(at), window_->mapToGlobal(QPointF(at)), held,
                        buttonChanges ? Qt::LeftButton : Qt::NoButton, eventType, Qt::NoModifier,
                        static_cast<int>(clock_));
    QCoreApplication::processEvents();
}

void Pointer::MoveTo(QPoint at) {
    Send(at, QEvent::MouseMove, false);
}

void Pointer::Press(QPoint at) {
    down_ = true;
    Send(at, QEvent::MouseButtonPress, true);
}

void Pointer::Release(QPoint at) {
    down_ = false;
    Send(at, QEvent::MouseButtonRelease, true);
}

void Pointer::Click(QPoint at) {
    Press(at);
    Release(at);
}

void Pointer::DoubleClick(QPoint at) {
    Click(at);
    Wait(60);
    Click(at);
}

void Pointer::Wait(int milliseconds) {
    clock_ += static_cast<std::uint64_t>(milliseconds);
}

} // namespace slidevane::test
