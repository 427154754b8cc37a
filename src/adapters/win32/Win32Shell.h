#pragma once

#include "platform/ShellPort.h"

// Handing an address to the desktop on Windows: shell32's ShellExecuteA.
//
// Owns: nothing but the call. Which program opens the address is the desktop's choice.
namespace slidevane {

class Win32Shell : public ShellPort {
public:
    std::intptr_t ShellExecuteA(void* owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                int showCommand) override;
};

} // namespace slidevane
