#include "WineHost.h"

#include "adapters/win32/WindowsApi.h"

#include <fstream>
#include <shellapi.h>
#include <sstream>

namespace slidevane::testing {

std::string TestData() {
    return SLIDEVANE3_WIN32_TEST_DATA "\\";
}

std::string MakeTempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        std::string const folder = std::string(base) + "slidevane3-" +
                                   std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(++counter) + "\\";
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            return folder;
        }
    }
}

void RemoveFolder(const std::string& folder) {
    // SHFileOperation wants a list ending in two NULs and no final backslash.
    std::string list = folder;
    if (!list.empty() && list.back() == '\\') {
        list.pop_back();
    }
    list.push_back('\0');
    list.push_back('\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationA(&operation);
}

int RunProgram(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::string ReadFileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace slidevane::testing
