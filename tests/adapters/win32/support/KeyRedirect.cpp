#include "KeyRedirect.h"

#include <algorithm>
#include <cctype>

namespace slidevane::testing {

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

KeyRedirect::KeyRedirect(RegistryApi& target, std::string from, std::string to)
    : target_(target), from_(std::move(from)), to_(std::move(to)) {}

win::LONG KeyRedirect::RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options,
                                     win::REGSAM samDesired, win::HKEY* result) {
    ++opens;
    std::string path = subKey != nullptr ? subKey : "";
    if (StartsWithNoCase(path, from_)) {
        path = to_ + path.substr(from_.size());
    }
    win::LONG const status = target_.RegOpenKeyExA(key, path.c_str(), options, samDesired, result);
    if (status == win::ERROR_SUCCESS) {
        ++openHandles;
    }
    return status;
}

win::LONG KeyRedirect::RegQueryValueExA(win::HKEY key, const char* valueName, win::DWORD* reserved,
                                        win::DWORD* type, win::BYTE* data, win::DWORD* dataSize) {
    return target_.RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
}

win::LONG KeyRedirect::RegCloseKey(win::HKEY key) {
    win::LONG const status = target_.RegCloseKey(key);
    if (status == win::ERROR_SUCCESS) {
        --openHandles;
    }
    return status;
}

} // namespace slidevane::testing
