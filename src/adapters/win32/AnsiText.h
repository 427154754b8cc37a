#pragma once

#include <string>

// Conversions between the system's narrow (ANSI code page) texts and the UTF-16 texts of COM.
// Every character is converted, an embedded NUL included, as the automation runtime does when it
// passes a string argument.
namespace slidevane {

std::wstring WideFromAnsi(const std::string& text);
std::string AnsiFromWide(const wchar_t* text, std::size_t length);

} // namespace slidevane
