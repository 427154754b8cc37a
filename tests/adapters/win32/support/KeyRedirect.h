#pragma once

#include "platform/RegistryApi.h"

#include <string>

// Passes the catalogue's reads on to a real registry with the catalogue's key replaced by a test
// case's key, so that every case of one fixture can be read through the real Catalogue at once.
//
// Owns: the two key prefixes and the counts of the opens asked for and of the handles open. The
// reads themselves are the wrapped registry's.
namespace slidevane::testing {

class KeyRedirect : public RegistryApi {
public:
    KeyRedirect(RegistryApi& target, std::string from, std::string to);

    win::LONG RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options,
                            win::REGSAM samDesired, win::HKEY* result) override;
    win::LONG RegQueryValueExA(win::HKEY key, const char* valueName, win::DWORD* reserved,
                               win::DWORD* type, win::BYTE* data, win::DWORD* dataSize) override;
    win::LONG RegCloseKey(win::HKEY key) override;

    int openHandles = 0;
    int opens = 0; // every open asked for, successful or not

private:
    RegistryApi& target_;
    std::string from_;
    std::string to_;
};

} // namespace slidevane::testing
