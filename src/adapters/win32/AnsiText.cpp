#include "adapters/win32/AnsiText.h"

#include "adapters/win32/WindowsApi.h"

namespace slidevane {

std::wstring WideFromAnsi(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    int const length = static_cast<int>(text.size());
    int const needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string AnsiFromWide(const wchar_t* text, std::size_t length) {
    if (text == nullptr || length == 0) {
        return {};
    }
    int const count = static_cast<int>(length);
    int const needed = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, count, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

} // namespace slidevane
