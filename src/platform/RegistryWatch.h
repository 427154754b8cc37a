#pragma once

#include "platform/RegistryApi.h"

// Tells whether anything below a root key of the registry may have changed since it was last
// asked: one check, where reading the same values again would be a call into the registry each.
//
// Owns: the contract only. A platform whose registry can tell writes apart supplies it (a change
// notification on Windows); without one every read goes to the registry.
namespace slidevane {

class RegistryWatch {
public:
    virtual ~RegistryWatch() = default;
    // True when a key or value below `root` may have been written, created, deleted or had its
    // rights changed since the previous call for `root`; true on the first call for `root` and
    // whenever the platform cannot tell. A change completed before the call is never missed.
    virtual bool MayHaveChanged(win::HKEY root) = 0;
};

} // namespace slidevane
