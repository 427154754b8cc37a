#include "adapters/qt/BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <xcb/xcb.h>

namespace slidevane {

int BusyPointer::active_ = 0;

BusyPointer::BusyPointer() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++active_;
    Flush();
}

BusyPointer::~BusyPointer() {
    --active_;
    QGuiApplication::restoreOverrideCursor();
    Flush();
}

BusyPointer::Handler BusyPointer::ForDoubleClicks(Handler handler) {
    return [handler = std::move(handler)](Control control, Event event) {
        if (event != Event::DblClick) {
            handler(control, event);
            return;
        }
        BusyPointer const busy; // a double-click may wait for the office
        handler(control, event);
    };
}

void BusyPointer::Flush() {
    // The window system learns of the pointer when the event loop next runs, which is after
    // the wait; it is told now instead.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        x11 != nullptr && x11->connection() != nullptr) {
        xcb_flush(x11->connection());
    }
}

BusyPointer::Pause::Pause() {
    for (; paused_ < active_; ++paused_) {
        QGuiApplication::restoreOverrideCursor();
    }
}

BusyPointer::Pause::~Pause() {
    for (; paused_ > 0; --paused_) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    Flush();
}

} // namespace slidevane
