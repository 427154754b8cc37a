#pragma once

#include "adapters/posix/RegistrySources.h"
#include "adapters/posix/TextCodec.h"
#include "platform/RegistryApi.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace slidevane {

// Answers the ANSI registry API from registry files, with Windows' status codes, sizes and
// string conversions, so that the catalogue reads the same way on Linux as on Windows. The
// files are layered in search-list order: a later file overrides an earlier one value by value,
// and its deletions remove what earlier files gave. A win64 Wine hive is read through the
// 32-bit view first (Software\Wow6432Node), where a 32-bit installer put its keys.
//
// Owns: the handles and the API semantics. Does not own: the files and their parsing
// (RegistrySources); it never writes anything.
class RegistryFileStore : public RegistryApi {
public:
    using Report = RegistrySources::Report;
    using SearchPath = RegistrySources::SearchPath;

    // Reads the files now; bad files are reported on standard error. Paths given as paths are
    // named: one that is missing is reported too.
    explicit RegistryFileStore(std::vector<std::filesystem::path> searchList);
    explicit RegistryFileStore(std::vector<SearchPath> searchList);
    RegistryFileStore(std::vector<std::filesystem::path> searchList, TextCodec::Narrow narrow,
                      Report report);
    RegistryFileStore(std::vector<SearchPath> searchList, TextCodec::Narrow narrow, Report report);
    ~RegistryFileStore() override;
    RegistryFileStore(const RegistryFileStore&) = delete;
    RegistryFileStore& operator=(const RegistryFileStore&) = delete;

    // SLIDEVANE3_REGISTRY (':'-separated) when set, every path in it named; otherwise the Wine
    // prefix's system.reg when present, /etc/slidevane3/registry.d,
    // <installPrefix>/share/slidevane3/registry.d (when a prefix is given) and
    // ${XDG_DATA_HOME:-~/.local/share}/slidevane3/registry.d, all of them optional.
    static std::vector<SearchPath>
    defaultSearchList(const std::filesystem::path& installPrefix = {});

    win::LONG RegOpenKeyExA(win::HKEY key, const char* subKey, win::DWORD options,
                            win::REGSAM samDesired, win::HKEY* result) override;
    win::LONG RegQueryValueExA(win::HKEY key, const char* valueName, win::DWORD* reserved,
                               win::DWORD* type, win::BYTE* data, win::DWORD* dataSize) override;
    win::LONG RegCloseKey(win::HKEY key) override;

    // Files read and parsed so far; an open of an unchanged file does not add to it.
    std::size_t parseCount() const;
    std::size_t openHandleCount() const;

private:
    struct Hit {
        std::uint32_t layer;
        std::uint32_t key;
    };
    struct Location {
        RegistryTree::Root root = RegistryTree::Root::LocalMachine;
        std::vector<std::u16string> path; // case-folded components
        bool view64 = false;
    };
    struct Handle {
        Location location;
        std::shared_ptr<const RegistrySources::Layers> layers;
        std::vector<Hit> hits; // latest file first
    };

    static std::vector<SearchPath> named(std::vector<std::filesystem::path> paths);
    static bool predefined(win::HKEY key, Location& location);
    static std::vector<Hit> resolve(const RegistrySources::Layers& layers,
                                    const Location& location);

    mutable std::mutex mutex_;
    RegistrySources sources_;
    TextCodec::Narrow narrow_;
    std::unordered_map<std::uintptr_t, Handle> handles_;
    std::uintptr_t nextHandle_ = 0x1000;
};

} // namespace slidevane
