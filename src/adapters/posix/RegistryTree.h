#pragma once

#include "adapters/posix/LoadBudget.h"
#include "adapters/posix/NameIndex.h"
#include "adapters/posix/WordPool.h"
#include "platform/RegistryApi.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace slidevane {

// What one registry file says: its keys and values, plus what it deletes from the files read
// before it. Every key and value is one small record in a pool, its name right behind it and
// its data beside it (one byte per UTF-16 unit when every unit fits in one), addressed by
// 32-bit offsets; one hash table finds a key by (parent, case-folded name), and a value of a key
// with many by (key, case-folded name). The few values of any other key are found along the
// key's own list, whose records lie side by side. A key with a hundred thousand children or
// values costs no more per lookup than one with three, and the whole costs about the text it
// came from. Link keys are
// followed within the file, each target checked once and read where it is stored. While a
// parser fills it, it keeps within the file's LoadBudget: before it takes more memory it says
// how much it will then hold, and a file that would make it hold too much ends there.
//
// Owns: the keys, the values (type and bytes as Windows stores them: strings are UTF-16LE), the
// deletion marks and the link targets. Does not own: layering several files (the store does that
// at read time) or any file format.
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

    // One value as stored; data points into the tree and lives as long as it.
    struct Value {
        win::DWORD type = win::REG_NONE;
        // The bytes as Windows stores them; when compact, UTF-16 units one byte each, all below
        // 0x100, so that text as long as its file costs no more than the file.
        std::string_view data;
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

    RegistryTree();
    RegistryTree(RegistryTree&&) = default;
    RegistryTree& operator=(RegistryTree&&) = default;

    // The budget that changes are held to from now on: LoadBudget::Exceeded ends a change that
    // would pass it and leaves the tree fit only to be dropped. nullptr for none. The budget
    // must outlive the tree or be unset first.
    void setBudget(LoadBudget* budget);
    LoadBudget* budget() const { return budget_; }
    // Back to an empty tree, within the same budget.
    void clear();
    // The heap the tree holds.
    std::size_t bytesHeld() const;

    static std::uint32_t rootKey(Root root) {
        return static_cast<std::uint32_t>(root) * kKeyRecordWords;
    }
    // The components of a key path; empty components (doubled or outer backslashes) are dropped.
    static std::vector<std::u16string_view> splitPath(std::u16string_view path);
    // The component of path at or after pos, moving pos past it; false when none is left.
    static bool nextComponent(std::u16string_view path, std::size_t& pos,
                              std::u16string_view& part);

    // Created by this file (not merely on the way to a deletion).
    bool exists(std::uint32_t key) const { return (keyAt(key).flags & kExists) != 0; }
    bool isLink(std::uint32_t key) const { return (keyAt(key).flags & kLink) != 0; }
    // npos for a root.
    std::uint32_t parent(std::uint32_t key) const { return keyAt(key).parent; }
    // The first spelling seen.
    std::u16string name(std::uint32_t key) const;
    // Keys below the roots that the file holds now.
    std::size_t keyCount() const { return keyCount_; }

    template <class F> void forEachChild(std::uint32_t key, F f) const {
        for (std::uint32_t c = keyAt(key).firstChild; c != npos; c = keyAt(c).nextSibling) {
            f(c);
        }
    }
    // f(name, value) for each value of the key, deletion marks included.
    template <class F> void forEachValue(std::uint32_t key, F f) const {
        for (std::uint32_t v = keyAt(key).firstValue; v != npos; v = valueAt(v).next) {
            f(valueName(v), valueOf(v));
        }
    }

    // Lookups take names already case-folded (CaseFold::fold).
    std::uint32_t child(std::uint32_t parent, std::u16string_view foldedName) const;
    std::optional<Value> value(std::uint32_t key, std::u16string_view foldedName) const;
    // Follows the path from the root, through links, in time linear in the path's components
    // plus at most kMaxLinkHops targets. npos when a key on the way is missing, or is a link
    // that leads nowhere, or the links go round. cut tells whether a key on the way was
    // deleted by this file, which hides whatever earlier files say below it.
    std::uint32_t find(Root root, const std::vector<std::u16string_view>& path, bool& cut) const;

    // Names are at most kMaxKeyNameLength units (key) or kMaxValueNameLength (value): the
    // parsers refuse longer ones, which could never be opened.
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
    // Sets the value, replacing what the key had under that name, and returns storage for its
    // `size` bytes, to be filled before the tree is next changed. Compact data is UTF-16 text
    // one byte per unit.
    char* setValue(std::uint32_t key, std::u16string_view name, win::DWORD type, std::size_t size,
                   bool compact = false);
    void setValue(std::uint32_t key, std::u16string_view name, win::DWORD type,
                  std::string_view data, bool compact = false);
    void deleteValue(std::uint32_t key, std::u16string_view name);

    bool win64() const { return win64_; }
    void setWin64(bool win64) { win64_ = win64; }

private:
    // Pool records. A reference to a value carries kValueTag in the hash table, and a value's
    // owner is hashed with it, so keys and values share the table without meeting.
    struct KeyRecord {
        std::uint32_t parent;
        std::uint32_t firstChild;
        std::uint32_t nextSibling;
        std::uint32_t firstValue;
        std::uint8_t nameLength; // units; the name follows the record
        std::uint8_t flags;
    };
    struct ValueRecord {
        std::uint32_t key;
        std::uint32_t next;
        std::uint32_t type;
        std::uint32_t data; // pool offset; unused while dataLength is 0
        std::uint32_t dataLength;
        std::uint16_t nameLength; // units; the name follows the record
        std::uint8_t flags;
    };
    // A name as stored: bytes, one per unit when compact, else UTF-16LE.
    struct StoredName {
        const unsigned char* bytes;
        std::size_t units;
        bool compact;
        char16_t unit(std::size_t i) const {
            return compact ? bytes[i] : static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        }
    };
    struct Link {
        std::uint32_t key;
        Root root;
        StoredName target; // the whole SymbolicLinkValue
        std::size_t below; // where the path below the root starts in it
    };

    static constexpr std::uint32_t kKeyRecordWords = sizeof(KeyRecord) / 4;
    static constexpr std::uint32_t kValueTag = 0x80000000u;
    // A key's values go into the hash table once it has more than this many: fewer are found
    // faster along the list than a table's slots would cost.
    static constexpr std::size_t kListedValues = 8;
    // Key flags
    static constexpr std::uint8_t kExists = 1;
    static constexpr std::uint8_t kWiped = 2; // [-key] seen: earlier files' keys here are gone
    static constexpr std::uint8_t kLink = 4;  // the target is in its SymbolicLinkValue
    static constexpr std::uint8_t kCompactName = 8;
    static constexpr std::uint8_t kValuesIndexed = 64; // the values are in the hash table
    // Value flags
    static constexpr std::uint8_t kCompactData = 16;
    static constexpr std::uint8_t kDeleted = 32;

    KeyRecord& keyAt(std::uint32_t id) { return *reinterpret_cast<KeyRecord*>(pool_.at(id)); }
    const KeyRecord& keyAt(std::uint32_t id) const {
        return *reinterpret_cast<const KeyRecord*>(pool_.at(id));
    }
    ValueRecord& valueAt(std::uint32_t id) { return *reinterpret_cast<ValueRecord*>(pool_.at(id)); }
    const ValueRecord& valueAt(std::uint32_t id) const {
        return *reinterpret_cast<const ValueRecord*>(pool_.at(id));
    }
    StoredName keyName(std::uint32_t id) const;
    StoredName storedValueName(std::uint32_t id) const;
    std::u16string valueName(std::uint32_t id) const;
    Value valueOf(std::uint32_t id) const;
    static bool sameName(StoredName stored, std::u16string_view name);
    static std::uint32_t hashOf(std::uint32_t owner, StoredName name);
    // What the tree holds once it has taken `more` bytes, told to the budget first.
    void charge(std::size_t more) {
        if (budget_ != nullptr) {
            budget_->hold(LoadBudget::Holder::Tree, bytesHeld() + more);
        }
    }
    std::uint32_t allocate(std::size_t bytes) {
        if (budget_ != nullptr) {
            if (const std::size_t more = pool_.growthFor(bytes)) {
                charge(more);
            }
        }
        return pool_.allocate(bytes);
    }
    void insertIndex(std::uint32_t h, std::uint32_t ref) {
        if (budget_ != nullptr) {
            if (const std::size_t more = index_.growthOnInsert()) {
                charge(more);
            }
        }
        index_.insert(h, ref);
    }
    // Room for one more element, its growth told to the budget.
    template <class T> void roomForOneMore(std::vector<T>& list) {
        if (list.size() == list.capacity()) {
            const std::size_t capacity = std::max<std::size_t>(4, list.capacity() * 2);
            charge(capacity * sizeof(T));
            list.reserve(capacity);
        }
    }
    // Stores the name behind a new record of recordBytes; returns the record's offset.
    std::uint32_t newRecord(std::size_t recordBytes, std::u16string_view name, bool& compact,
                            std::size_t extra = 0);

    std::uint32_t findOrAddChild(std::uint32_t parent, std::u16string_view name, bool exists);
    // The value's id, or npos; count is set to the number of values the key has when they are
    // not in the hash table.
    std::uint32_t findValue(std::uint32_t key, std::u16string_view name,
                            std::size_t* count = nullptr) const;
    void indexValue(std::uint32_t key, std::uint32_t id);
    void clearValues(std::uint32_t key);
    void removeKey(std::uint32_t id);
    const Link* linkOf(std::uint32_t key) const;
    // The next component of a link's target, folded into part; false when none is left.
    static bool nextTargetComponent(const StoredName& target, std::size_t& pos, char16_t* part,
                                    std::size_t& length);

    WordPool pool_;
    NameIndex index_;
    std::vector<std::uint32_t> linkKeys_; // keys marked as links
    std::vector<Link> links_;             // by key
    std::size_t keyCount_ = 0;
    bool win64_ = false;
    LoadBudget* budget_ = nullptr;
};

} // namespace slidevane
