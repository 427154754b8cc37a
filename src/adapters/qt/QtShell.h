#pragma once

#include "platform/ShellPort.h"

// Hands an address to the desktop's opener on Qt.
//
// Owns: the mapping of the opener's yes/no onto ShellExecuteA's result. It does not choose the
// program that opens the address; the desktop does.
namespace slidevane {

class QtShell : public ShellPort {
public:
    static constexpr std::intptr_t Opened = 42;
    static constexpr std::intptr_t NotOpened = 2;

    std::intptr_t ShellExecuteA(void* owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                int showCommand) override;
};

} // namespace slidevane
