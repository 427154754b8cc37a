#pragma once

#include <cstdint>

// The ANSI registry API as the catalogue calls it: the three advapi32 entry points with
// Windows' own types, constants and status codes. The names live in their own namespace so
// that a Windows adapter can include <windows.h> beside this header without clashes.
//
// Owns: nothing but the contract. Each platform supplies an implementation: the real
// advapi32 on Windows, the registry-file store on Linux.
namespace slidevane::win {

using LONG = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using REGSAM = std::uint32_t;
struct HKEY__;
using HKEY = HKEY__*;

inline HKEY PredefinedKey(std::uintptr_t value) { return reinterpret_cast<HKEY>(value); }
inline HKEY const HKEY_CLASSES_ROOT = PredefinedKey(0x80000000u);
inline HKEY const HKEY_CURRENT_USER = PredefinedKey(0x80000001u);
inline HKEY const HKEY_LOCAL_MACHINE = PredefinedKey(0x80000002u);
inline HKEY const HKEY_USERS = PredefinedKey(0x80000003u);
inline HKEY const HKEY_CURRENT_CONFIG = PredefinedKey(0x80000005u);
inline HKEY const HKEY_DYN_DATA = PredefinedKey(0x80000006u);

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_BAD_PATHNAME = 161;
constexpr LONG ERROR_MORE_DATA = 234;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;

} // namespace slidevane::win

namespace slidevane {

// Read-only registry access with the semantics of RegOpenKeyExA, RegQueryValueExA and
// RegCloseKey. Texts cross this interface in the system's narrow (ANSI) encoding.
class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    virtual win::LONG RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options,
                                    win::REGSAM samDesired, win::HKEY* result) = 0;
    virtual win::LONG RegQueryValueExA(win::HKEY key, const char* valueName, win::DWORD* reserved,
                                       win::DWORD* type, win::BYTE* data, win::DWORD* dataSize) = 0;
    virtual win::LONG RegCloseKey(win::HKEY key) = 0;
};

} // namespace slidevane
