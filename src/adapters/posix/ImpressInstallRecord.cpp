#include "adapters/posix/ImpressInstallRecord.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace slidevane {

using namespace win;

namespace {

constexpr std::string_view RecordKey = "software\\microsoft\\office\\9.0\\powerpoint\\installroot";

std::string Folded(std::string_view text) {
    std::string folded(text);
    while (!folded.empty() && folded.back() == '\\') {
        folded.pop_back();
    }
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

bool HasPresentationModule(const std::filesystem::path& program) {
    std::error_code ignored;
    std::filesystem::path const office = program.parent_path();
    return std::filesystem::exists(program / "libslideshowlo.so", ignored) ||
           std::filesystem::exists(office / "share" / "registry" / "impress.xcd", ignored) ||
           std::filesystem::exists(office / "share" / ".registry" / "impress.xcd", ignored);
}

} // namespace

ImpressInstallRecord::ImpressInstallRecord(RegistryApi& inner) : inner_(inner) {}

std::string ImpressInstallRecord::FindOfficeProgramFolder() {
    char const* path = std::getenv("PATH");
    if (!path) {
        return {};
    }
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty()) {
            continue;
        }
        std::error_code error;
        std::filesystem::path const launcher =
            std::filesystem::canonical(std::filesystem::path(folder) / "soffice", error);
        if (error || !std::filesystem::is_regular_file(launcher, error)) {
            continue;
        }
        std::filesystem::path const program = launcher.parent_path();
        if (HasPresentationModule(program)) {
            return program.string() + "/";
        }
    }
    return {};
}

bool ImpressInstallRecord::IsSyntheticHandle(HKEY key) const {
    return key == reinterpret_cast<HKEY>(const_cast<char*>(&handleTag_));
}

LONG ImpressInstallRecord::RegOpenKeyExA(HKEY key, const char* subKey, DWORD options,
                                         REGSAM samDesired, HKEY* result) {
    LONG const status = inner_.RegOpenKeyExA(key, subKey, options, samDesired, result);
    if (status != ERROR_FILE_NOT_FOUND || key != HKEY_LOCAL_MACHINE || !subKey ||
        Folded(subKey) != RecordKey) {
        return status;
    }
    programFolder_ = FindOfficeProgramFolder();
    if (programFolder_.empty()) {
        return status;
    }
    ++openSynthetic_;
    *result = reinterpret_cast<HKEY>(&handleTag_);
    return ERROR_SUCCESS;
}

LONG ImpressInstallRecord::RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved,
                                            DWORD* type, BYTE* data, DWORD* dataSize) {
    if (!IsSyntheticHandle(key)) {
        return inner_.RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
    }
    if (openSynthetic_ == 0) {
        return ERROR_INVALID_HANDLE;
    }
    if (data && !dataSize) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!valueName || Folded(valueName) != "path") {
        if (type) {
            *type = REG_NONE;
        }
        if (!data && dataSize) {
            *dataSize = 0;
        }
        return ERROR_FILE_NOT_FOUND;
    }
    auto const size = static_cast<DWORD>(programFolder_.size() + 1);
    if (type) {
        *type = REG_SZ;
    }
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data) {
        std::memcpy(data, programFolder_.c_str(), size);
    }
    if (dataSize) {
        *dataSize = size;
    }
    return ERROR_SUCCESS;
}

LONG ImpressInstallRecord::RegCloseKey(HKEY key) {
    if (!IsSyntheticHandle(key)) {
        return inner_.RegCloseKey(key);
    }
    if (openSynthetic_ == 0) {
        return ERROR_INVALID_HANDLE;
    }
    --openSynthetic_;
    return ERROR_SUCCESS;
}

} // namespace slidevane
