#pragma once

#include <QObject>
#include <functional>

// Runs an action once a window's first frame is on the screen: after its first paint has been
// handled and the event loop has come round again, so nothing of the action's delays the frame.
//
// Owns: the action until it has run; it watches the window's events, and nothing else.
namespace slidevane {

class FirstFrame : public QObject {
public:
    FirstFrame(QObject& window, std::function<void()> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject& window_;
    std::function<void()> action_;
};

} // namespace slidevane
