#include "adapters/posix/RegistryFileStore.h"

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/DataHome.h"
#include "adapters/posix/NativePath.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>

namespace slidevane {

namespace {

using Root = RegistryTree::Root;
using win::DWORD;
using win::LONG;
constexpr std::uint32_t npos = RegistryTree::npos;
constexpr std::uintptr_t kClassesRoot = 0x80000000u;

bool isStringType(DWORD type) {
    return type == win::REG_SZ || type == win::REG_EXPAND_SZ || type == win::REG_MULTI_SZ;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

} // namespace

RegistryFileStore::RegistryFileStore(std::vector<std::filesystem::path> searchList)
    : RegistryFileStore(named(std::move(searchList))) {}

RegistryFileStore::RegistryFileStore(std::vector<SearchPath> searchList)
    : RegistryFileStore(std::move(searchList), TextCodec::Narrow::Utf8,
                        [](const std::string& line) { std::cerr << line << std::endl; }) {}

RegistryFileStore::RegistryFileStore(std::vector<std::filesystem::path> searchList,
                                     TextCodec::Narrow narrow, Report report)
    : RegistryFileStore(named(std::move(searchList)), narrow, std::move(report)) {}

RegistryFileStore::RegistryFileStore(std::vector<SearchPath> searchList, TextCodec::Narrow narrow,
                                     Report report)
    : sources_(std::move(searchList), std::move(report)), narrow_(narrow) {
    sources_.refresh();
}

std::vector<RegistryFileStore::SearchPath>
RegistryFileStore::named(std::vector<std::filesystem::path> paths) {
    std::vector<SearchPath> list;
    for (auto& path : paths) {
        list.push_back(SearchPath{std::move(path), false});
    }
    return list;
}

RegistryFileStore::~RegistryFileStore() = default;

std::vector<RegistryFileStore::SearchPath>
RegistryFileStore::defaultSearchList(const std::filesystem::path& installPrefix) {
    std::vector<SearchPath> list;
    if (const char* configured = std::getenv("SLIDEVANE3_REGISTRY")) {
        std::string_view rest = configured;
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            if (colon != 0) {
                list.push_back(SearchPath{std::string(rest.substr(0, colon)), false});
            }
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
        return list;
    }
    const std::string home = NativePath::homeFolder();
    std::string prefix = environment("WINEPREFIX");
    if (prefix.empty()) {
        prefix = home + "/.wine";
    }
    std::error_code error;
    if (std::filesystem::exists(prefix + "/system.reg", error)) {
        list.push_back(SearchPath{prefix + "/system.reg", true});
    }
    list.push_back(SearchPath{"/etc/slidevane3/registry.d", true});
    if (!installPrefix.empty()) {
        list.push_back(SearchPath{installPrefix / "share/slidevane3/registry.d", true});
    }
    list.push_back(SearchPath{DataHome::RegistryFolder(), true});
    return list;
}

bool RegistryFileStore::predefined(win::HKEY key, Location& location) {
    const auto value = reinterpret_cast<std::uintptr_t>(key);
    location = Location{};
    switch (value) {
    case 0x80000000u: // HKEY_CLASSES_ROOT
        location.path = {u"software", u"classes"};
        return true;
    case 0x80000001u:
        location.root = Root::CurrentUser;
        return true;
    case 0x80000002u:
        location.root = Root::LocalMachine;
        return true;
    case 0x80000003u:
        location.root = Root::Users;
        return true;
    case 0x80000004u:
        location.root = Root::PerformanceData;
        return true;
    case 0x80000005u:
        location.root = Root::CurrentConfig;
        return true;
    case 0x80000006u:
        location.root = Root::DynData;
        return true;
    default:
        return false;
    }
}

std::vector<RegistryFileStore::Hit>
RegistryFileStore::resolve(const RegistrySources::Layers& layers, const Location& location) {
    std::vector<Hit> hits;
    const std::vector<std::u16string_view> path(location.path.begin(), location.path.end());
    const bool redirect = !location.view64 && location.root == Root::LocalMachine &&
                          path.size() >= 2 && path[0] == u"software" && path[1] != u"wow6432node";
    for (std::size_t layer = layers.size(); layer-- > 0;) {
        const RegistryTree& tree = *layers[layer];
        std::uint32_t key = npos;
        bool cut = false;
        if (redirect && tree.win64()) {
            std::vector<std::u16string_view> redirected = path;
            redirected.insert(redirected.begin() + 1, u"wow6432node");
            bool ignored = false;
            key = tree.find(location.root, redirected, ignored);
            if (key != npos && !tree.exists(key)) {
                key = npos;
            }
        }
        if (key == npos) {
            key = tree.find(location.root, path, cut);
        }
        if (key != npos && tree.exists(key)) {
            hits.push_back(Hit{static_cast<std::uint32_t>(layer), key});
        }
        if (cut) {
            break;
        }
    }
    return hits;
}

LONG RegistryFileStore::RegOpenKeyExA(win::HKEY key, const char* subKey, DWORD /*options*/,
                                      win::REGSAM samDesired, win::HKEY* result) {
    std::lock_guard lock(mutex_);
    const bool emptySubKey = subKey == nullptr || *subKey == '\0';
    Location location;
    if (predefined(key, location)) {
        if (emptySubKey && result != nullptr) {
            *result = key;
            return win::ERROR_SUCCESS;
        }
    } else {
        const auto it = handles_.find(reinterpret_cast<std::uintptr_t>(key));
        if (key == nullptr || it == handles_.end()) {
            return win::ERROR_INVALID_HANDLE;
        }
        location = it->second.location;
    }
    if (result == nullptr) {
        return win::ERROR_INVALID_PARAMETER;
    }
    if ((samDesired & win::KEY_WOW64_64KEY) != 0) {
        location.view64 = true;
    } else if ((samDesired & win::KEY_WOW64_32KEY) != 0) {
        location.view64 = false;
    }
    std::string_view text = emptySubKey ? std::string_view() : std::string_view(subKey);
    if (!text.empty() && text[0] == '\\' && reinterpret_cast<std::uintptr_t>(key) == kClassesRoot) {
        text.remove_prefix(1);
    }
    if (!text.empty() && text[0] == '\\') {
        *result = nullptr;
        return win::ERROR_BAD_PATHNAME;
    }
    const std::u16string folded = CaseFold::fold(TextCodec::fromNarrow(text, narrow_));
    std::size_t pos = 0;
    std::u16string_view part;
    while (RegistryTree::nextComponent(folded, pos, part)) {
        // Nothing longer or deeper than Windows allows can exist.
        if (part.size() > RegistryTree::kMaxKeyNameLength ||
            location.path.size() >= RegistryTree::kMaxDepth) {
            *result = nullptr;
            return win::ERROR_FILE_NOT_FOUND;
        }
        location.path.emplace_back(part);
    }
    auto layers = sources_.refresh();
    auto hits = resolve(*layers, location);
    if (hits.empty()) {
        *result = nullptr;
        return win::ERROR_FILE_NOT_FOUND;
    }
    const std::uintptr_t value = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(value, Handle{std::move(location), std::move(layers), std::move(hits)});
    *result = reinterpret_cast<win::HKEY>(value);
    return win::ERROR_SUCCESS;
}

LONG RegistryFileStore::RegQueryValueExA(win::HKEY key, const char* valueName, DWORD* reserved,
                                         DWORD* type, win::BYTE* data, DWORD* dataSize) {
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) {
        return win::ERROR_INVALID_PARAMETER;
    }
    std::lock_guard lock(mutex_);
    std::shared_ptr<const RegistrySources::Layers> layers;
    std::vector<Hit> resolved;
    const std::vector<Hit>* hits = nullptr;
    Location location;
    if (predefined(key, location)) {
        layers = sources_.current();
        resolved = resolve(*layers, location);
        hits = &resolved;
    } else {
        const auto it = handles_.find(reinterpret_cast<std::uintptr_t>(key));
        if (key == nullptr || it == handles_.end()) {
            return win::ERROR_INVALID_HANDLE;
        }
        layers = it->second.layers;
        hits = &it->second.hits;
    }
    const std::u16string name =
        CaseFold::fold(TextCodec::fromNarrow(valueName == nullptr ? "" : valueName, narrow_));
    std::optional<RegistryTree::Value> found;
    if (name.size() <= RegistryTree::kMaxValueNameLength) {
        for (const Hit& hit : *hits) {
            if (auto v = (*layers)[hit.layer]->value(hit.key, name)) {
                if (!v->deleted) {
                    found = v;
                }
                break;
            }
        }
    }
    if (!found) {
        if (type != nullptr) {
            *type = win::REG_NONE;
        }
        if (data == nullptr && dataSize != nullptr) {
            *dataSize = 0;
        }
        return win::ERROR_FILE_NOT_FOUND;
    }
    if (type != nullptr) {
        *type = found->type;
    }
    const bool text = isStringType(found->type);
    // Text is converted unit by unit, straight into the caller's buffer; an odd last byte is no
    // unit and is dropped.
    const std::string_view stored =
        text && !found->compact ? found->data.substr(0, found->data.size() & ~std::size_t{1})
                                : found->data;
    const std::size_t units = found->compact ? stored.size() : stored.size() / 2;
    const bool terminated = !text || (units > 0 && found->unit(units - 1) == 0);
    const auto size = static_cast<DWORD>(
        text ? TextCodec::narrowLength(stored, found->compact, narrow_) : found->size());
    if (data == nullptr) {
        if (dataSize != nullptr) {
            *dataSize = size;
        }
        return win::ERROR_SUCCESS;
    }
    if (*dataSize < size) {
        *dataSize = size;
        return win::ERROR_MORE_DATA;
    }
    if (text) {
        TextCodec::narrowInto(stored, found->compact, narrow_, reinterpret_cast<char*>(data));
    } else if (!found->compact && size != 0) {
        std::memcpy(data, stored.data(), size);
    } else {
        for (std::size_t i = 0; i < units; ++i) {
            const char16_t unit = found->unit(i);
            data[2 * i] = static_cast<win::BYTE>(unit & 0xFF);
            data[2 * i + 1] = static_cast<win::BYTE>(unit >> 8);
        }
    }
    // A string stored without its NUL gets one when the buffer has room, uncounted.
    if (!terminated && size != 0 && *dataSize > size) {
        data[size] = 0;
    }
    *dataSize = size;
    return win::ERROR_SUCCESS;
}

LONG RegistryFileStore::RegCloseKey(win::HKEY key) {
    Location ignored;
    if (predefined(key, ignored)) {
        return win::ERROR_SUCCESS;
    }
    std::lock_guard lock(mutex_);
    if (key == nullptr || handles_.erase(reinterpret_cast<std::uintptr_t>(key)) == 0) {
        return win::ERROR_INVALID_HANDLE;
    }
    return win::ERROR_SUCCESS;
}

std::size_t RegistryFileStore::parseCount() const {
    std::lock_guard lock(mutex_);
    return sources_.parseCount();
}

std::size_t RegistryFileStore::openHandleCount() const {
    std::lock_guard lock(mutex_);
    return handles_.size();
}

} // namespace slidevane
