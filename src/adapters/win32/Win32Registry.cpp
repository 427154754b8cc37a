#include "adapters/win32/Win32Registry.h"

#include "adapters/win32/WindowsApi.h"

#include <cstdint>

namespace slidevane {

namespace {

::HKEY Native(win::HKEY key) {
    return static_cast<::HKEY>(Win32Registry::NativeKey(key));
}

win::HKEY Core(::HKEY key) {
    return reinterpret_cast<win::HKEY>(key);
}

} // namespace

void* Win32Registry::NativeKey(win::HKEY key) {
    // Predefined keys are widened the way 64-bit advapi32 defines them.
    auto const value = reinterpret_cast<std::uintptr_t>(key);
    if (value >= 0x80000000u && value <= 0x800000FFu) {
        auto const widened = static_cast<std::intptr_t>(static_cast<std::int32_t>(value));
        return reinterpret_cast<void*>(widened);
    }
    return key;
}

win::LONG Win32Registry::RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options,
                                       win::REGSAM samDesired, win::HKEY* result) {
    ::HKEY opened = nullptr;
    ::LONG const status =
        ::RegOpenKeyExA(Native(key), subKey, options, samDesired | KEY_WOW64_32KEY,
                        result != nullptr ? &opened : nullptr);
    if (result != nullptr) {
        *result = Core(opened);
    }
    return status;
}

win::LONG Win32Registry::RegQueryValueExA(win::HKEY key, const char* valueName,
                                          win::DWORD* reserved, win::DWORD* type, win::BYTE* data,
                                          win::DWORD* dataSize) {
    // advapi32's DWORD is unsigned long; the values pass through locals of its own type, which
    // start as the caller's so that whatever the call leaves alone comes back unchanged.
    ::DWORD nativeReserved = reserved != nullptr ? *reserved : 0;
    ::DWORD nativeType = type != nullptr ? *type : 0;
    ::DWORD nativeSize = dataSize != nullptr ? *dataSize : 0;
    ::LONG const status = ::RegQueryValueExA(
        Native(key), valueName, reserved != nullptr ? &nativeReserved : nullptr,
        type != nullptr ? &nativeType : nullptr, data, dataSize != nullptr ? &nativeSize : nullptr);
    if (type != nullptr) {
        *type = nativeType;
    }
    if (dataSize != nullptr) {
        *dataSize = nativeSize;
    }
    return status;
}

win::LONG Win32Registry::RegCloseKey(win::HKEY key) {
    return ::RegCloseKey(Native(key));
}

} // namespace slidevane
