#include "catalogue/Module1.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <vector>

namespace slidevane {

using namespace win;

Module1::Module1(RegistryApi& registry, REGSAM access, RegistryWatch* watch)
    : registry_(registry), access_(access), watch_(watch) {}

Module1::EventScope::EventScope(Module1& module1) : module1_(module1), outer_(!module1.inEvent_) {
    if (outer_) {
        module1_.inEvent_ = true;
        module1_.checked_.clear();
    }
}

Module1::EventScope::~EventScope() {
    if (outer_) {
        module1_.inEvent_ = false;
        module1_.checked_.clear();
    }
}

bool Module1::Checked(HKEY root) const {
    return inEvent_ && std::find(checked_.begin(), checked_.end(), root) != checked_.end();
}

std::int32_t Module1::ReadRegistryValue(HKEY key, const std::string& valueName,
                                        RegistryValue& value) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status =
        registry_.RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size);
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

std::int32_t Module1::ReadFresh(const std::string& keyPath, const std::string& valueName, HKEY root,
                                RegistryValue& value) {
    HKEY key = nullptr;
    // A failed open leaves the handle null and the read below fails on it.
    registry_.RegOpenKeyExA(root, keyPath.c_str(), 0, access_, &key);
    std::int32_t const status = ReadRegistryValue(key, valueName, value);
    registry_.RegCloseKey(key);
    return status;
}

RegistryValue Module1::GetRegistryString(const std::string& keyPath, const std::string& valueName,
                                         HKEY root) {
    RegistryValue value;
    if (watch_ == nullptr) {
        if (ReadFresh(keyPath, valueName, root, value) != 0) {
            throw RuntimeError::CannotPerform();
        }
        return value;
    }
    if (!Checked(root)) {
        // The one check of this event: anything written below the root since the last one
        // makes every answer kept for it stale.
        if (watch_->MayHaveChanged(root)) {
            answers_.Forget(root);
        }
        if (inEvent_) {
            checked_.push_back(root);
        }
    }
    if (RegistryAnswers::Answer const* known = answers_.Find(root, keyPath, valueName)) {
        if (known->status != 0) {
            throw RuntimeError::CannotPerform();
        }
        return known->value;
    }
    std::int32_t const status = ReadFresh(keyPath, valueName, root, value);
    if (value.Bytes() <= MaxKeptBytes) {
        answers_.Keep(root, keyPath, valueName, {status, value});
    }
    if (status != 0) {
        throw RuntimeError::CannotPerform();
    }
    return value;
}

} // namespace slidevane
