#pragma once

#include "catalogue/RegistryValue.h"
#include "platform/RegistryApi.h"

#include <string>

// The registry routines every catalogue read goes through: one key opened, one value read, the
// key closed again. Nothing is cached and nothing is ever written.
//
// Owns: the read protocol (size query, typed second query, error 17). It does not own the
// registry itself; that is the platform's RegistryApi. Keys are opened for reading only, as the
// program never writes and a standard user is refused write rights on the machine's keys.
namespace slidevane {

class Module1 {
public:
    explicit Module1(RegistryApi& registry, win::REGSAM access = win::KEY_READ);

    // Reads one value of an open key into `value`. Returns 0 when it was read, the platform's
    // status of a failed query, or -1 for a type the reader does not take. Never throws.
    std::int32_t ReadRegistryValue(win::HKEY key, const std::string& valueName,
                                   RegistryValue& value);

    // Opens `keyPath` below `root`, reads `valueName` and closes the key. Throws error 17 when
    // the value is not read.
    RegistryValue GetRegistryString(const std::string& keyPath, const std::string& valueName,
                                    win::HKEY root);

private:
    RegistryApi& registry_;
    win::REGSAM access_;
};

} // namespace slidevane
