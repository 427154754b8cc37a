#pragma once

#include "platform/DialogPort.h"

#include <optional>

struct HWND__;

// Message boxes and the end of the program on Windows.
//
// Owns: the box's look (MessageBoxA, OK only, no icon, owned by the window while it exists) and
// the status the program ends with. It does not own the message loop: Quit posts the quit
// message and main returns the status once the loop sees it.
namespace slidevane {

class Win32Dialog : public DialogPort {
public:
    explicit Win32Dialog(HWND__* owner = nullptr) : owner_(owner) {}

    void MessageBox(const std::string& text, const std::string& caption) override;
    void Quit(int status) override;

    // The status Quit was given; empty while the program has not been ended.
    std::optional<int> QuitStatus() const { return status_; }

private:
    HWND__* owner_;
    std::optional<int> status_;
};

} // namespace slidevane
