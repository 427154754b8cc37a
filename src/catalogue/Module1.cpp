#include "catalogue/Module1.h"

#include "platform/RuntimeError.h"

#include <vector>

namespace slidevane {

using namespace win;

Module1::Module1(RegistryApi& registry, REGSAM access) : registry_(registry), access_(access) {}

std::int32_t Module1::ReadRegistryValue(HKEY key, const std::string& valueName,
                                        RegistryValue& value) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status = registry_.RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    switch (type) {
    case REG_SZ: {
        std::vector<BYTE> buffer(size, 0);
        status = registry_.RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                            buffer.empty() ? nullptr : buffer.data(), &size);
        if (status == ERROR_SUCCESS) {
            // All bytes of the buffer, so the stored text followed by its NUL when it has one.
            value = RegistryValue::Text(std::string(buffer.begin(), buffer.end()));
        } else {
            value = RegistryValue();
        }
        return status;
    }
    case REG_BINARY:
    case REG_DWORD: {
        // Data longer than the 4-byte integer is refused rather than written past it.
        if (size > sizeof(std::int32_t)) {
            return ERROR_MORE_DATA;
        }
        std::int32_t number = 0;
        status = registry_.RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(&number), &size);
        if (status == ERROR_SUCCESS) {
            value = RegistryValue::Integer(number);
        }
        return status;
    }
    default:
        return -1;
    }
}

RegistryValue Module1::GetRegistryString(const std::string& keyPath, const std::string& valueName,
                                         HKEY root) {
    HKEY key = nullptr;
    // A failed open leaves the handle null and the read below fails on it.
    registry_.RegOpenKeyExA(root, keyPath.c_str(), 0, access_, &key);
    RegistryValue value;
    std::int32_t const status = ReadRegistryValue(key, valueName, value);
    registry_.RegCloseKey(key);
    if (status != 0) {
        throw RuntimeError::CannotPerform();
    }
    return value;
}

} // namespace slidevane
