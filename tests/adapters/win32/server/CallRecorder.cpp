#include "CallRecorder.h"

namespace slidevane::testoffice {

namespace {

std::wstring ReadText(HKEY key, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return buffer;
}

DWORD ReadNumber(HKEY key, const wchar_t* name, DWORD fallback) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
        return fallback;
    }
    return value;
}

} // namespace

void CallRecorder::Record(const std::string& line) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    std::wstring const path = ReadText(key, L"LogFile");
    RegCloseKey(key);
    if (path.empty()) {
        return;
    }
    HANDLE const file =
        CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    std::string const text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

HRESULT CallRecorder::Outcome(const char* step) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return S_OK;
    }
    HRESULT outcome = S_OK;
    std::wstring const failStep = ReadText(key, L"FailStep");
    DWORD const times = ReadNumber(key, L"FailTimes", 0);
    std::wstring const wideStep(step, step + strlen(step));
    if (failStep == wideStep && times > 0) {
        outcome = static_cast<HRESULT>(ReadNumber(key, L"FailCode", 0x80004005));
        DWORD const left = times - 1;
        RegSetValueExW(key, L"FailTimes", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&left),
                       sizeof left);
    }
    RegCloseKey(key);
    return outcome;
}

} // namespace slidevane::testoffice
