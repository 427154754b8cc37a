#include "adapters/qt/FirstFrame.h"

#include <QEvent>
#include <QTimer>

namespace slidevane {

FirstFrame::FirstFrame(QObject& window, std::function<void()> action)
    : window_(window), action_(std::move(action)) {
    window_.installEventFilter(this);
}

bool FirstFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Paint && action_) {
        window_.removeEventFilter(this);
        // The paint is flushed to the screen when this event's handling ends; the action runs
        // on the loop's next turn.
        QTimer::singleShot(0, this, [this] {
            std::function<void()> const action = std::move(action_);
            action_ = nullptr;
            action();
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace slidevane
