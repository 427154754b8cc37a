#include "adapters/qt/DoubleClickGuard.h"

#include <QGuiApplication>
#include <QStyleHints>

namespace slidevane {

void DoubleClickGuard::Remember(const QObject* target, std::uint64_t timestamp) {
    target_ = target;
    timestamp_ = timestamp;
    valid_ = true;
}

bool DoubleClickGuard::Pairs(const QObject* target, std::uint64_t timestamp) const {
    if (!valid_ || target == nullptr || target != target_ || timestamp < timestamp_) {
        return false;
    }
    auto const interval =
        static_cast<std::uint64_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    return timestamp - timestamp_ <= interval;
}

void DoubleClickGuard::Forget() {
    valid_ = false;
}

} // namespace slidevane
