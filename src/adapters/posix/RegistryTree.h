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
// lookup than one with three. Link keys are followed within the file, each target read once.
//
// Owns: the keys, the values (type and bytes as Windows stores them: strings are UTF-16LE, kept
// one byte per unit when every unit fits in one), the deletion marks and the link targets.
// Does not own: layering several files (the store does that at read time) or any file format.
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
    // The longest name Windows gives any object, a link's target included.
    static constexpr std::size_t kMaxLinkTargetLength = 32767;
    // Enough for any real chain of links; more means a loop.
    static constexpr int kMaxLinkHops = 16;

    struct Value {
        std::u16string name; // first spelling seen
        win::DWORD type = win::REG_NONE;
        // The bytes as Windows stores them; when compact, UTF-16 units one byte each, all below
        // 0x100, so that text as long as its file costs no more than the file.
        std::string data;
        bool compact = false;
        bool deleted = false; // "name"=- : removes the value that earlier files gave

        std::size_t size() const { return compact ? data.size() * 2 : data.size(); }
        std::size_t unitCount() const { return compact ? data.size() : data.size() / 2; }
        char16_t unit(std::size_t i) const {
            return compact
                       ? static_cast<unsigned char>(data[i])
                       : static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                               static_cast<unsigned char>(data[2 * i + 1]) << 8);
        }
    };

    struct Key {
        std::u16string name; // first spelling seen
        std::uint32_t parent = npos;
        std::vector<std::uint32_t> children;
        std::vector<std::uint32_t> values;
        bool exists = false;         // created by this file (not merely on the way to a deletion)
        bool wiped = false;          // [-key] seen: what earlier files gave here and below is gone
        bool link = false;           // a symbolic link; the target is in its SymbolicLinkValue
        std::uint32_t target = npos; // the link's target, when it names a key that can exist
    };

    RegistryTree();

    static std::uint32_t rootKey(Root root) { return static_cast<std::uint32_t>(root); }
    // The components of a key path; empty components (doubled or outer backslashes) are dropped.
    static std::vector<std::u16string_view> splitPath(std::u16string_view path);
    // The component of path at or after pos, moving pos past it; false when none is left.
    static bool nextComponent(std::u16string_view path, std::size_t& pos,
                              std::u16string_view& part);
    const Key& key(std::uint32_t id) const { return keys_[id]; }
    // Ids come from Key::values.
    const Value& valueAt(std::uint32_t id) const { return values_[id]; }
    std::size_t keyCount() const { return keyCount_; }

    // Lookups take names already case-folded (CaseFold::fold).
    std::uint32_t child(std::uint32_t parent, std::u16string_view foldedName) const;
    const Value* value(std::uint32_t key, std::u16string_view foldedName) const;
    // Follows the path from the root, through links, in time linear in the path's components
    // plus at most kMaxLinkHops targets. npos when a key on the way is missing, or is a link
    // that leads nowhere, or the links go round. cut tells whether a key on the way was
    // deleted by this file, which hides whatever earlier files say below it.
    std::uint32_t find(Root root, const std::vector<std::u16string_view>& path, bool& cut) const;

    // Creates the child (or finds it, keeping the first spelling) and marks it existing.
    std::uint32_t createChild(std::uint32_t parent, std::u16string_view name);
    // Finds or adds the child without marking it existing: the path to a deletion.
    std::uint32_t pathChild(std::uint32_t parent, std::u16string_view name);
    void markLink(std::uint32_t key);
    // Reads each link's target from its SymbolicLinkValue, once the whole file is in:
    // "\Registry\Machine\..." or "\Registry\User\...", within Windows' limits.
    void readLinkTargets();
    // Removes everything below and in the key and marks it wiped and absent.
    void wipe(std::uint32_t key);
    void setValue(std::uint32_t key, std::u16string_view name, win::DWORD type, std::string data,
                  bool compact = false);
    void deleteValue(std::uint32_t key, std::u16string_view name);

    bool win64() const { return win64_; }
    void setWin64(bool win64) { win64_ = win64; }

private:
    std::uint32_t findOrAddChild(std::uint32_t parent, std::u16string_view name, bool exists);
    void clearValues(std::uint32_t key);
    std::uint32_t findValue(std::uint32_t key, std::u16string_view name, std::uint32_t h) const;

    struct Link {
        Root root;
        std::u16string path; // case-folded, below the root, components split as they are walked
    };

    std::vector<Key> keys_;
    std::vector<Value> values_;
    std::vector<std::uint32_t> linkKeys_; // keys marked as links, in file order
    std::vector<Link> links_;
    NameIndex childIndex_; // (parent, name) -> key
    NameIndex valueIndex_; // (key, name) -> value
    std::size_t keyCount_ = 0;
    bool win64_ = false;
};

} // namespace slidevane
