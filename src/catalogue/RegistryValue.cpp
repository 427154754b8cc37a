#include "catalogue/RegistryValue.h"

namespace slidevane {

RegistryValue RegistryValue::Text(std::string text) {
    RegistryValue value;
    value.value_ = std::move(text);
    return value;
}

RegistryValue RegistryValue::Integer(std::int32_t number) {
    RegistryValue value;
    value.value_ = number;
    return value;
}

std::string RegistryValue::AsText() const {
    if (auto const* text = std::get_if<std::string>(&value_)) {
        return *text;
    }
    if (auto const* number = std::get_if<std::int32_t>(&value_)) {
        return std::to_string(*number);
    }
    return {};
}

std::optional<std::int32_t> RegistryValue::AsInteger() const {
    if (auto const* number = std::get_if<std::int32_t>(&value_)) {
        return *number;
    }
    return std::nullopt;
}

std::size_t RegistryValue::Bytes() const {
    if (auto const* text = std::get_if<std::string>(&value_)) {
        return text->size();
    }
    return IsInteger() ? sizeof(std::int32_t) : 0;
}

} // namespace slidevane
