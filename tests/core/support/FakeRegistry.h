#pragma once

#include "platform/RegistryApi.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// An in-memory registry with the status codes and sizes of the ANSI registry API, enough for the
// catalogue's reads. Records the access masks it was asked for and the handles still open.
namespace slidevane::testing {

class FakeRegistry : public RegistryApi {
public:
    struct Value {
        win::DWORD type;
        std::vector<win::BYTE> data;
    };

    // Key paths below HKEY_LOCAL_MACHINE, without leading or trailing backslashes.
    void SetText(const std::string& key, const std::string& name, const std::string& text,
                 bool terminated = true);
    void SetDword(const std::string& key, const std::string& name, std::uint32_t number);
    void SetRaw(const std::string& key, const std::string& name, win::DWORD type,
                std::vector<win::BYTE> data);
    void RemoveValue(const std::string& key, const std::string& name);
    void RemoveKey(const std::string& key);

    win::LONG RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options,
                            win::REGSAM samDesired, win::HKEY* result) override;
    win::LONG RegQueryValueExA(win::HKEY key, const char* valueName, win::DWORD* reserved,
                               win::DWORD* type, win::BYTE* data, win::DWORD* dataSize) override;
    win::LONG RegCloseKey(win::HKEY key) override;

    std::vector<win::REGSAM> accessMasks;
    std::vector<std::string> openedKeys; // as asked for, in order
    int openHandles() const { return static_cast<int>(open_.size()); }
    int queries = 0;

private:
    static std::string Normalise(std::string path);
    std::map<std::string, std::map<std::string, Value>> keys_;
    std::map<std::uintptr_t, std::string> open_;
    std::uintptr_t next_ = 0x1000;
};

} // namespace slidevane::testing
