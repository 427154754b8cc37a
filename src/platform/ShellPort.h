#pragma once

#include <cstdint>

// Handing a document or address to the desktop, shaped like ShellExecuteA.
//
// Owns: the contract only. The desktop chooses the program that opens the address.
namespace slidevane {

constexpr int SW_SHOW = 5;

class ShellPort {
public:
    virtual ~ShellPort() = default;
    // Returns a value greater than 32 on success, as ShellExecuteA does.
    virtual std::intptr_t ShellExecuteA(void* owner, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        int showCommand) = 0;
};

} // namespace slidevane
