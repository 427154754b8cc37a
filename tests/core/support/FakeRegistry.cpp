#include "FakeRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace slidevane::testing {

using namespace win;

std::string FakeRegistry::Normalise(std::string path) {
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return path;
}

void FakeRegistry::SetRaw(const std::string& key, const std::string& name, DWORD type,
                          std::vector<BYTE> data) {
    // Parent keys exist as soon as a child does, as in the real registry.
    std::string path = Normalise(key);
    keys_[path][Normalise(name)] = {type, std::move(data)};
    for (auto cut = path.rfind('\\'); cut != std::string::npos; cut = path.rfind('\\')) {
        path.resize(cut);
        keys_[path];
    }
}

void FakeRegistry::SetText(const std::string& key, const std::string& name, const std::string& text,
                           bool terminated) {
    std::vector<BYTE> data(text.begin(), text.end());
    if (terminated) {
        data.push_back(0);
    }
    SetRaw(key, name, REG_SZ, std::move(data));
}

void FakeRegistry::SetDword(const std::string& key, const std::string& name, std::uint32_t number) {
    std::vector<BYTE> data(4);
    std::memcpy(data.data(), &number, 4);
    SetRaw(key, name, REG_DWORD, std::move(data));
}

void FakeRegistry::RemoveValue(const std::string& key, const std::string& name) {
    keys_[Normalise(key)].erase(Normalise(name));
}

void FakeRegistry::RemoveKey(const std::string& key) {
    keys_.erase(Normalise(key));
}

LONG FakeRegistry::RegOpenKeyExA(HKEY key, const char* subKey, DWORD, REGSAM samDesired,
                                 HKEY* result) {
    accessMasks.push_back(samDesired);
    openedKeys.push_back(subKey ? subKey : "");
    if (key != HKEY_LOCAL_MACHINE) {
        return ERROR_INVALID_HANDLE;
    }
    std::string const path = Normalise(subKey ? subKey : "");
    if (!keys_.contains(path)) {
        *result = nullptr;
        return ERROR_FILE_NOT_FOUND;
    }
    open_[next_] = path;
    *result = reinterpret_cast<HKEY>(next_++);
    return ERROR_SUCCESS;
}

LONG FakeRegistry::RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type,
                                    BYTE* data, DWORD* dataSize) {
    ++queries;
    auto const handle = open_.find(reinterpret_cast<std::uintptr_t>(key));
    if (handle == open_.end()) {
        return ERROR_INVALID_HANDLE;
    }
    auto const& values = keys_[handle->second];
    auto const value = values.find(Normalise(valueName ? valueName : ""));
    if (value == values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    auto const size = static_cast<DWORD>(value->second.data.size());
    if (type) {
        *type = value->second.type;
    }
    if (data) {
        if (*dataSize < size) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        std::copy(value->second.data.begin(), value->second.data.end(), data);
    }
    if (dataSize) {
        *dataSize = size;
    }
    return ERROR_SUCCESS;
}

LONG FakeRegistry::RegCloseKey(HKEY key) {
    return open_.erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS
                                                              : ERROR_INVALID_HANDLE;
}

} // namespace slidevane::testing
