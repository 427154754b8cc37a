#pragma once

#include "platform/RegistryApi.h"

// The catalogue's registry reads on Windows: the real advapi32 entry points.
//
// Owns: the translation between the core's registry types and advapi32's, and the choice of the
// 32-bit registry view: the pack's installer is a 32-bit program, so its keys live in the view
// a 32-bit process sees (under Wow6432Node on 64-bit Windows), whatever this build's word size.
// It does not own the read protocol (Module1) and never asks for write rights.
namespace slidevane {

class Win32Registry : public RegistryApi {
public:
    win::LONG RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options,
                            win::REGSAM samDesired, win::HKEY* result) override;
    win::LONG RegQueryValueExA(win::HKEY key, const char* valueName, win::DWORD* reserved,
                               win::DWORD* type, win::BYTE* data, win::DWORD* dataSize) override;
    win::LONG RegCloseKey(win::HKEY key) override;

    // The core spells the predefined keys as 32-bit values; 64-bit advapi32 defines them
    // sign-extended (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002): the key as advapi32 takes it.
    static void* NativeKey(win::HKEY key);
};

} // namespace slidevane
