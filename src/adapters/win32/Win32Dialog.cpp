#include "adapters/win32/Win32Dialog.h"

#include "adapters/win32/WindowsApi.h"

namespace slidevane {

void Win32Dialog::MessageBox(const std::string& text, const std::string& caption) {
    // After Unload the window is gone; a box owned by a destroyed window would not show.
    HWND const owner = (owner_ != nullptr && IsWindow(owner_)) ? owner_ : nullptr;
    ::MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK);
}

void Win32Dialog::Quit(int status) {
    status_ = status;
    PostQuitMessage(status);
}

} // namespace slidevane
