// Stands in for the browser in the tests: registered as the prefix's handler of http addresses,
// it appends the address it was given to the file named by
// HKCU\Software\Slidevane3 Test Office\UrlLog. "/Register" registers it.
#include "adapters/win32/WindowsApi.h"

#include <string>

namespace {

int Register() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string const command = std::string("\"") + path + "\" \"%1\"";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return 1;
    }
    LONG const status =
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string const argument = argc > 1 ? argv[1] : "";
    if (argument == "/Register") {
        return Register();
    }
    HKEY key = nullptr;
    char log[MAX_PATH] = {};
    DWORD size = sizeof log - 1;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Slidevane3 Test Office", 0, KEY_READ, &key) !=
            ERROR_SUCCESS ||
        RegQueryValueExA(key, "UrlLog", nullptr, nullptr, reinterpret_cast<BYTE*>(log), &size) !=
            ERROR_SUCCESS) {
        return 1;
    }
    RegCloseKey(key);
    HANDLE const file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    std::string const line = argument + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
