#pragma once

#include "platform/RegistryApi.h"

#include <string>

namespace slidevane::test {

// Reads one value the way the catalogue does: open the key, ask for the size, read the data,
// close. Tests compare the status, the type and the exact bytes.
//
// Owns: nothing. Does not own: the store it reads.
class RegistryProbe {
public:
    struct Read {
        win::LONG status = -1;
        win::DWORD type = 0xFFFF;
        std::string bytes;
    };

    static Read read(RegistryApi& api, win::HKEY root, const char* path, const char* name,
                     win::REGSAM sam = win::KEY_READ) {
        Read r;
        win::HKEY key = nullptr;
        r.status = api.RegOpenKeyExA(root, path, 0, sam, &key);
        if (r.status != win::ERROR_SUCCESS) {
            return r;
        }
        win::DWORD size = 0;
        r.status = api.RegQueryValueExA(key, name, nullptr, &r.type, nullptr, &size);
        if (r.status == win::ERROR_SUCCESS) {
            std::string buffer(size, '\x7F');
            r.status = api.RegQueryValueExA(key, name, nullptr, &r.type,
                                            reinterpret_cast<win::BYTE*>(buffer.data()), &size);
            buffer.resize(size);
            r.bytes = buffer;
        }
        api.RegCloseKey(key);
        return r;
    }

    // The text of a string value without its terminator, or "<status N>".
    static std::string text(RegistryApi& api, win::HKEY root, const char* path, const char* name,
                            win::REGSAM sam = win::KEY_READ) {
        Read r = read(api, root, path, name, sam);
        if (r.status != win::ERROR_SUCCESS) {
            return "<status " + std::to_string(r.status) + ">";
        }
        if (!r.bytes.empty() && r.bytes.back() == '\0') {
            r.bytes.pop_back();
        }
        return r.bytes;
    }

    static win::LONG openStatus(RegistryApi& api, win::HKEY root, const char* path) {
        win::HKEY key = nullptr;
        const win::LONG status = api.RegOpenKeyExA(root, path, 0, win::KEY_READ, &key);
        if (status == win::ERROR_SUCCESS) {
            api.RegCloseKey(key);
        }
        return status;
    }
};

} // namespace slidevane::test
