#pragma once

#include "platform/DialogPort.h"

#include <optional>

class QWidget;

// Message boxes and the end of the program on Qt.
//
// Owns: the look of the box (OK only, no icon) and the exit status that an ended run returns. It
// does not own the event loop: Quit asks it to stop, and main returns the status.
namespace slidevane {

class QtDialog : public DialogPort {
public:
    explicit QtDialog(QWidget& window);

    void MessageBox(const std::string& text, const std::string& caption) override;
    void Quit(int status) override;

    // The status Quit was given; empty while the program has not been ended.
    std::optional<int> QuitStatus() const { return status_; }

private:
    QWidget& window_;
    std::optional<int> status_;
};

} // namespace slidevane
