#pragma once

#include "adapters/posix/NameIndex.h"
#include "platform/RegistryApi.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace slidevane {

// What one registry file says: its keys and values, plus what it deletes from the files read
// before it. Keys live in a flat array; names are looked up through hash tables keyed on the
// case-folded name, so a key with a hundred thousand children or values costs no more per
// lookup than one with three.
//
// Owns: the keys, the values (type and raw bytes as Windows stores them: strings are UTF-16LE)
// and the deletion marks. Does not own: layering several files (the store does that at read
// time) or any file format.
class RegistryTree {
public:
    // HKEY_CLASSES_ROOT is not a root here: it is LocalMachine\Software\Classes.
    enum class Root : std::uint8_t {
        LocalMachine,
        CurrentUser,
        Users,
        CurrentConfig,
        DynData,
        PerformanceData,
    };
    static constexpr std::size_t kRootCount = 6;
    static constexpr std::uint32_t npos = UINT32_MAX;
    // Windows' own limits; a name beyond them can be neither created nor found.
    static constexpr std::size_t kMaxKeyNameLength = 255;
    static constexpr std::size_t kMaxValueNameLength = 16383;
    static constexpr std::size_t kMaxDepth = 512;

    struct Value {
        std::u16string name; // first spelling seen
        win::DWORD type = win::REG_NONE;
        std::string data;
        bool deleted = false; // "name"=- : removes the value that earlier files gave
    };

    struct Key {
        std::u16string name; // first spelling seen
        std::uint32_t parent = npos;
        std::vector<std::uint32_t> children;
        std::vector<std::uint32_t> values;
        bool exists = false; // created by this file (not merely on the way to a deletion)
        bool wiped = false;  // [-key] seen: what earlier files gave here and below is gone
        bool link = false;   // a symbolic link; the target is in its SymbolicLinkValue
    };

    RegistryTree();

    static std::uint32_t rootKey(Root root) { return static_cast<std::uint32_t>(root); }
    // The components of a key path; empty components (doubled or outer backslashes) are dropped.
    static std::vector<std::u16string_view> splitPath(std::u16string_view path);
    const Key& key(std::uint32_t id) const { return keys_[id]; }
    // Ids come from Key::values.
    const Value& valueAt(std::uint32_t id) const { return values_[id]; }
    std::size_t keyCount() const { return keyCount_; }

    // Lookups take names already case-folded (CaseFold::fold).
    std::uint32_t child(std::uint32_t parent, std::u16string_view foldedName) const;
    const Value* value(std::uint32_t key, std::u16string_view foldedName) const;

    // Creates the child (or finds it, keeping the first spelling) and marks it existing.
    std::uint32_t createChild(std::uint32_t parent, std::u16string_view name);
    // Finds or adds the child without marking it existing: the path to a deletion.
    std::uint32_t pathChild(std::uint32_t parent, std::u16string_view name);
    void markLink(std::uint32_t key) { keys_[key].link = true; }
    // Removes everything below and in the key and marks it wiped and absent.
    void wipe(std::uint32_t key);
    void setValue(std::uint32_t key, std::u16string_view name, win::DWORD type, std::string data);
    void deleteValue(std::uint32_t key, std::u16string_view name);

    bool win64() const { return win64_; }
    void setWin64(bool win64) { win64_ = win64; }

private:
    std::uint32_t findOrAddChild(std::uint32_t parent, std::u16string_view name, bool exists);
    void clearValues(std::uint32_t key);
    std::uint32_t findValue(std::uint32_t key, std::u16string_view name, std::uint32_t h) const;

    std::vector<Key> keys_;
    std::vector<Value> values_;
    NameIndex childIndex_; // (parent, name) -> key
    NameIndex valueIndex_; // (key, name) -> value
    std::size_t keyCount_ = 0;
    bool win64_ = false;
};

} // namespace slidevane
