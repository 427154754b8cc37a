#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// The result of one registry read: empty (nothing read), a text, or a signed 32-bit integer.
// A text keeps the terminating NUL of the stored data as its last character; each consumer
// decides what to do with it.
//
// Owns: the value only. It knows nothing of keys, handles or the store it came from.
namespace slidevane {

class RegistryValue {
public:
    RegistryValue() = default;
    static RegistryValue Text(std::string text);
    static RegistryValue Integer(std::int32_t number);

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }
    bool IsInteger() const { return std::holds_alternative<std::int32_t>(value_); }

    // The value as text: a text as stored, an integer as its decimal digits, empty as "".
    std::string AsText() const;
    std::optional<std::int32_t> AsInteger() const;
    // The bytes the value holds: a text's length, 4 for an integer, 0 when empty.
    std::size_t Bytes() const;

private:
    std::variant<std::monostate, std::string, std::int32_t> value_;
};

} // namespace slidevane
