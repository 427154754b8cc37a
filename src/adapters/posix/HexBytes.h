#pragma once

#include <cstddef>
#include <string_view>

// Hex digits and the comma-separated bytes of hex data, as both registry file formats write
// them (the .reg format in UTF-16 units, Wine's hives in 8-bit text).
namespace slidevane::HexBytes {

template <typename Char> int Digit(Char c) {
    if (c >= Char('0') && c <= Char('9')) {
        return static_cast<int>(c - Char('0'));
    }
    if (c >= Char('a') && c <= Char('f')) {
        return static_cast<int>(c - Char('a')) + 10;
    }
    if (c >= Char('A') && c <= Char('F')) {
        return static_cast<int>(c - Char('A')) + 10;
    }
    return -1;
}

// Reads one byte of one or two hex digits at line[i], moving i past it. -1 when no digit stands
// there or more than two do.
template <typename Char> int ReadByte(std::basic_string_view<Char> line, std::size_t& i) {
    int value = 0;
    int digits = 0;
    while (i < line.size() && Digit(line[i]) >= 0) {
        value = value * 16 + Digit(line[i]);
        ++i;
        if (++digits > 2) {
            return -1;
        }
    }
    return digits == 0 ? -1 : value;
}

} // namespace slidevane::HexBytes
