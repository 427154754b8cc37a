#include "adapters/win32/Win32Shell.h"

#include "adapters/win32/WindowsApi.h"

#include <shellapi.h>

namespace slidevane {

std::intptr_t Win32Shell::ShellExecuteA(void* owner, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        int showCommand) {
    HINSTANCE const result = ::ShellExecuteA(static_cast<HWND>(owner), operation, file, parameters,
                                             directory, showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

} // namespace slidevane
