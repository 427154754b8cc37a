#pragma once

#include "platform/RegistryApi.h"

#include <string>

// Answers the presentation application's install record on a system where the application is an
// office suite's presentation program rather than a registry entry: a read of "Path" under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Office\9.0\PowerPoint\InstallRoot gives the office's
// program folder when an office with its presentation module is found the way the user's shell
// would find it (soffice on PATH). Every other read, and this one when the registry itself
// answers it, goes to the registry underneath.
//
// Owns: the lookup of the office and one synthetic key handle. It does not own the registry
// files, and it never writes anything.
namespace slidevane {

class ImpressInstallRecord : public RegistryApi {
public:
    explicit ImpressInstallRecord(RegistryApi& inner);

    win::LONG RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options,
                            win::REGSAM samDesired, win::HKEY* result) override;
    win::LONG RegQueryValueExA(win::HKEY key, const char* valueName, win::DWORD* reserved,
                               win::DWORD* type, win::BYTE* data, win::DWORD* dataSize) override;
    win::LONG RegCloseKey(win::HKEY key) override;

    // The program folder of the office found through PATH, with its presentation module
    // installed; empty when there is none.
    static std::string FindOfficeProgramFolder();

private:
    bool IsSyntheticHandle(win::HKEY key) const;

    RegistryApi& inner_;
    std::string programFolder_;
    int openSynthetic_ = 0;
    char handleTag_ = 0; // its address is the synthetic handle
};

} // namespace slidevane
