#include "adapters/qt/DoubleClickGuard.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <cmath>

namespace slidevane {

bool DoubleClickGuard::PairsWith(const Press& press) {
    QStyleHints const* hints = QGuiApplication::styleHints();
    auto const interval = static_cast<std::uint64_t>(hints->mouseDoubleClickInterval());
    QPointF const moved = press.global - last_.global;
    bool const pairs = valid_ && press.target != nullptr && press.target == last_.target &&
                       press.button == last_.button && press.timestamp >= last_.timestamp &&
                       press.timestamp - last_.timestamp <= interval &&
                       std::abs(moved.x()) <= hints->mouseDoubleClickDistance() &&
                       std::abs(moved.y()) <= hints->mouseDoubleClickDistance();
    if (pairs) {
        valid_ = false;
        return true;
    }
    last_ = press;
    valid_ = true;
    return false;
}

} // namespace slidevane
