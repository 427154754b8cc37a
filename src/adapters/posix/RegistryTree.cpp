#include "adapters/posix/RegistryTree.h"

#include "adapters/posix/CaseFold.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace slidevane {

RegistryTree::RegistryTree() {
    for (std::size_t r = 0; r < kRootCount; ++r) {
        bool compact = false;
        const std::uint32_t id = newRecord(sizeof(KeyRecord), {}, compact);
        new (pool_.at(id))
            KeyRecord{npos, npos, npos, npos, 0, static_cast<std::uint8_t>(kExists | kCompactName)};
    }
}

void RegistryTree::setBudget(LoadBudget* budget) {
    budget_ = budget;
    charge(0);
}

void RegistryTree::clear() {
    LoadBudget* const budget = budget_;
    *this = RegistryTree();
    setBudget(budget);
}

std::size_t RegistryTree::bytesHeld() const {
    return pool_.bytesHeld() + index_.bytesHeld() + linkKeys_.capacity() * sizeof(std::uint32_t) +
           links_.capacity() * sizeof(Link);
}

std::uint32_t RegistryTree::newRecord(std::size_t recordBytes, std::u16string_view name,
                                      bool& compact, std::size_t extra) {
    char16_t all = 0;
    for (const char16_t unit : name) {
        all = static_cast<char16_t>(all | unit);
    }
    compact = all < 0x100;
    const std::size_t nameBytes = compact ? name.size() : name.size() * 2;
    const std::uint32_t id = allocate(recordBytes + nameBytes + extra);
    auto* out = reinterpret_cast<unsigned char*>(pool_.at(id)) + recordBytes;
    for (const char16_t unit : name) {
        *out++ = static_cast<unsigned char>(unit & 0xFF);
        if (!compact) {
            *out++ = static_cast<unsigned char>(unit >> 8);
        }
    }
    return id;
}

RegistryTree::StoredName RegistryTree::keyName(std::uint32_t id) const {
    const KeyRecord& k = keyAt(id);
    return StoredName{reinterpret_cast<const unsigned char*>(&k) + sizeof(KeyRecord), k.nameLength,
                      (k.flags & kCompactName) != 0};
}

RegistryTree::StoredName RegistryTree::storedValueName(std::uint32_t id) const {
    const ValueRecord& v = valueAt(id);
    return StoredName{reinterpret_cast<const unsigned char*>(&v) + sizeof(ValueRecord),
                      v.nameLength, (v.flags & kCompactName) != 0};
}

std::u16string RegistryTree::name(std::uint32_t key) const {
    const StoredName stored = keyName(key);
    std::u16string out(stored.units, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = stored.unit(i);
    }
    return out;
}

std::u16string RegistryTree::valueName(std::uint32_t id) const {
    const StoredName stored = storedValueName(id);
    std::u16string out(stored.units, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = stored.unit(i);
    }
    return out;
}

RegistryTree::Value RegistryTree::valueOf(std::uint32_t id) const {
    const ValueRecord& v = valueAt(id);
    Value value;
    value.type = v.type;
    if (v.dataLength != 0) {
        value.data = std::string_view(pool_.at(v.data), v.dataLength);
    }
    value.compact = (v.flags & kCompactData) != 0;
    value.deleted = (v.flags & kDeleted) != 0;
    return value;
}

bool RegistryTree::sameName(StoredName stored, std::u16string_view name) {
    if (stored.units != name.size()) {
        return false;
    }
    const char16_t* const fold = CaseFold::table();
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (fold[stored.unit(i)] != fold[name[i]]) {
            return false;
        }
    }
    return true;
}

std::uint32_t RegistryTree::hashOf(std::uint32_t owner, StoredName name) {
    const char16_t* const fold = CaseFold::table();
    return NameIndex::hash(owner, name.units,
                           [&name, fold](std::size_t i) { return fold[name.unit(i)]; });
}

std::uint32_t RegistryTree::child(std::uint32_t parent, std::u16string_view foldedName) const {
    return index_.find(NameIndex::hashFolded(parent, foldedName), [&](std::uint32_t ref) {
        return (ref & kValueTag) == 0 && keyAt(ref).parent == parent &&
               sameName(keyName(ref), foldedName);
    });
}

std::uint32_t RegistryTree::findValue(std::uint32_t key, std::u16string_view name,
                                      std::size_t* count) const {
    if ((keyAt(key).flags & kValuesIndexed) == 0) {
        std::size_t n = 0;
        for (std::uint32_t v = keyAt(key).firstValue; v != npos; v = valueAt(v).next, ++n) {
            if (sameName(storedValueName(v), name)) {
                return v;
            }
        }
        if (count != nullptr) {
            *count = n;
        }
        return npos;
    }
    const std::uint32_t ref =
        index_.find(NameIndex::hash(key | kValueTag, name), [&](std::uint32_t r) {
            if ((r & kValueTag) == 0) {
                return false;
            }
            const std::uint32_t id = r & ~kValueTag;
            return valueAt(id).key == key && sameName(storedValueName(id), name);
        });
    return ref == npos ? npos : ref & ~kValueTag;
}

void RegistryTree::indexValue(std::uint32_t key, std::uint32_t id) {
    insertIndex(hashOf(key | kValueTag, storedValueName(id)), id | kValueTag);
}

std::optional<RegistryTree::Value> RegistryTree::value(std::uint32_t key,
                                                       std::u16string_view foldedName) const {
    const std::uint32_t id = findValue(key, foldedName);
    if (id == npos) {
        return std::nullopt;
    }
    return valueOf(id);
}

std::uint32_t RegistryTree::findOrAddChild(std::uint32_t parent, std::u16string_view name,
                                           bool exists) {
    const std::uint32_t h = NameIndex::hash(parent, name);
    const std::uint32_t found = index_.find(h, [&](std::uint32_t ref) {
        return (ref & kValueTag) == 0 && keyAt(ref).parent == parent &&
               sameName(keyName(ref), name);
    });
    if (found != npos) {
        if (exists) {
            keyAt(found).flags |= kExists;
        }
        return found;
    }
    bool compact = false;
    const std::uint32_t id = newRecord(sizeof(KeyRecord), name, compact);
    KeyRecord& parentKey = keyAt(parent);
    new (pool_.at(id))
        KeyRecord{parent,
                  npos,
                  parentKey.firstChild,
                  npos,
                  static_cast<std::uint8_t>(name.size()),
                  static_cast<std::uint8_t>((exists ? kExists : 0) | (compact ? kCompactName : 0))};
    parentKey.firstChild = id;
    insertIndex(h, id);
    ++keyCount_;
    return id;
}

std::uint32_t RegistryTree::createChild(std::uint32_t parent, std::u16string_view name) {
    return findOrAddChild(parent, name, true);
}

std::uint32_t RegistryTree::pathChild(std::uint32_t parent, std::u16string_view name) {
    return findOrAddChild(parent, name, false);
}

void RegistryTree::clearValues(std::uint32_t key) {
    const bool indexed = (keyAt(key).flags & kValuesIndexed) != 0;
    for (std::uint32_t v = keyAt(key).firstValue; v != npos;) {
        ValueRecord& record = valueAt(v);
        if (indexed) {
            index_.erase(hashOf(key | kValueTag, storedValueName(v)), v | kValueTag);
        }
        const std::uint32_t next = record.next;
        record.next = npos;
        v = next;
    }
    keyAt(key).firstValue = npos;
    keyAt(key).flags &= static_cast<std::uint8_t>(~kValuesIndexed);
}

void RegistryTree::removeKey(std::uint32_t id) {
    clearValues(id);
    KeyRecord& k = keyAt(id);
    index_.erase(hashOf(k.parent, keyName(id)), id);
    k.flags &= kCompactName;
    k.firstChild = npos;
    k.nextSibling = npos;
    --keyCount_;
}

void RegistryTree::wipe(std::uint32_t key) {
    // Depth first through the child links themselves, each key removed once its children are:
    // no stack, however deep the file nests its keys.
    std::uint32_t id = keyAt(key).firstChild;
    keyAt(key).firstChild = npos;
    while (id != npos) {
        KeyRecord& k = keyAt(id);
        if (k.firstChild != npos) {
            const std::uint32_t down = k.firstChild;
            k.firstChild = npos;
            id = down;
            continue;
        }
        const std::uint32_t sibling = k.nextSibling;
        const std::uint32_t parent = k.parent;
        removeKey(id);
        id = sibling != npos ? sibling : parent != key ? parent : npos;
    }
    clearValues(key);
    keyAt(key).flags = static_cast<std::uint8_t>((keyAt(key).flags & kCompactName) | kWiped);
}

void RegistryTree::markLink(std::uint32_t key) {
    KeyRecord& k = keyAt(key);
    if ((k.flags & kLink) == 0) {
        k.flags |= kLink;
        roomForOneMore(linkKeys_);
        linkKeys_.push_back(key);
    }
}

bool RegistryTree::nextTargetComponent(const StoredName& target, std::size_t& pos, char16_t* part,
                                       std::size_t& length) {
    while (pos < target.units && target.unit(pos) == u'\\') {
        ++pos;
    }
    if (pos == target.units) {
        return false;
    }
    length = 0;
    for (; pos < target.units && target.unit(pos) != u'\\'; ++pos) {
        if (length < kMaxKeyNameLength + 1) {
            part[length] = CaseFold::fold(target.unit(pos));
        }
        ++length;
    }
    return true;
}

void RegistryTree::readLinkTargets() {
    std::sort(linkKeys_.begin(), linkKeys_.end());
    linkKeys_.erase(std::unique(linkKeys_.begin(), linkKeys_.end()), linkKeys_.end());
    links_.clear();
    for (const std::uint32_t key : linkKeys_) {
        if (!isLink(key)) {
            continue;
        }
        const std::uint32_t v = findValue(key, u"symboliclinkvalue");
        if (v == npos) {
            continue;
        }
        const Value value = valueOf(v);
        if (value.deleted || value.unitCount() > kMaxLinkTargetLength) {
            continue;
        }
        const StoredName target{reinterpret_cast<const unsigned char*>(value.data.data()),
                                value.unitCount(), value.compact};
        // "\registry\machine" or "\registry\user", then the path below that root.
        char16_t part[kMaxKeyNameLength + 1];
        std::size_t length = 0;
        std::size_t pos = 0;
        auto is = [&](std::u16string_view word) {
            return std::u16string_view(part, std::min(length, kMaxKeyNameLength + 1)) == word;
        };
        if (!nextTargetComponent(target, pos, part, length) || !is(u"registry") ||
            !nextTargetComponent(target, pos, part, length)) {
            continue;
        }
        Link link{key, Root::LocalMachine, target, pos};
        if (is(u"user")) {
            link.root = Root::Users;
        } else if (!is(u"machine")) {
            continue;
        }
        std::size_t depth = 0;
        bool fits = true;
        while (fits && nextTargetComponent(target, pos, part, length)) {
            fits = length <= kMaxKeyNameLength && ++depth <= kMaxDepth;
        }
        if (fits) {
            roomForOneMore(links_);
            links_.push_back(link);
        }
    }
    charge(links_.size() * sizeof(Link));
    links_.shrink_to_fit();
    std::vector<std::uint32_t>().swap(linkKeys_);
}

const RegistryTree::Link* RegistryTree::linkOf(std::uint32_t key) const {
    const auto it = std::lower_bound(links_.begin(), links_.end(), key,
                                     [](const Link& l, std::uint32_t k) { return l.key < k; });
    return it != links_.end() && it->key == key ? &*it : nullptr;
}

bool RegistryTree::nextComponent(std::u16string_view path, std::size_t& pos,
                                 std::u16string_view& part) {
    while (pos < path.size() && path[pos] == u'\\') {
        ++pos;
    }
    if (pos == path.size()) {
        return false;
    }
    const std::size_t end = std::min(path.find(u'\\', pos), path.size());
    part = path.substr(pos, end - pos);
    pos = end;
    return true;
}

std::uint32_t RegistryTree::find(Root root, const std::vector<std::u16string_view>& path,
                                 bool& cut) const {
    // The components still to walk, innermost link target last. Following a link pushes its
    // target instead of copying it in front of the rest, so no hop costs more than its own
    // target, and there are at most kMaxLinkHops of those.
    struct Pending {
        const Link* link; // nullptr: the caller's path
        std::size_t next; // the caller's next component, or a position in the link's target
    };
    Pending stack[kMaxLinkHops + 1];
    std::size_t depth = 1;
    stack[0] = Pending{nullptr, 0};
    std::uint32_t key = rootKey(root);
    int hops = 0;
    char16_t part[kMaxKeyNameLength + 1];
    while (depth > 0) {
        Pending& top = stack[depth - 1];
        std::u16string_view name;
        if (top.link != nullptr) {
            std::size_t length = 0;
            if (!nextTargetComponent(top.link->target, top.next, part, length)) {
                --depth;
                continue;
            }
            name = std::u16string_view(part, length); // checked against the limit when read
        } else if (top.next == path.size()) {
            --depth;
            continue;
        } else {
            name = path[top.next++];
        }
        key = child(key, name);
        if (key == npos) {
            return npos;
        }
        const KeyRecord& k = keyAt(key);
        cut = cut || (k.flags & kWiped) != 0;
        if ((k.flags & kLink) == 0) {
            continue;
        }
        const Link* link = linkOf(key);
        if (link == nullptr || hops == kMaxLinkHops) {
            return npos;
        }
        ++hops;
        key = rootKey(link->root);
        stack[depth++] = Pending{link, link->below};
    }
    return key;
}

char* RegistryTree::setValue(std::uint32_t key, std::u16string_view name, win::DWORD type,
                             std::size_t size, bool compact) {
    std::size_t count = 0;
    const std::uint32_t found = findValue(key, name, &count);
    const auto flags = static_cast<std::uint8_t>(compact ? kCompactData : 0);
    if (found != npos) {
        // The old data's place is reused when the new data fits in it.
        ValueRecord& v = valueAt(found);
        if (size > v.dataLength) {
            const std::uint32_t data = allocate(size);
            valueAt(found).data = data;
        }
        ValueRecord& record = valueAt(found);
        record.type = type;
        record.dataLength = static_cast<std::uint32_t>(size);
        record.flags = static_cast<std::uint8_t>((record.flags & kCompactName) | flags);
        return size == 0 ? nullptr : pool_.at(record.data);
    }
    bool compactName = false;
    const std::uint32_t id = newRecord(sizeof(ValueRecord), name, compactName, size + 3);
    const std::size_t nameBytes = compactName ? name.size() : name.size() * 2;
    // The data follows the name, at the next word.
    const auto data = static_cast<std::uint32_t>(id + (sizeof(ValueRecord) + nameBytes + 3) / 4);
    KeyRecord& k = keyAt(key);
    new (pool_.at(id))
        ValueRecord{key,
                    k.firstValue,
                    type,
                    data,
                    static_cast<std::uint32_t>(size),
                    static_cast<std::uint16_t>(name.size()),
                    static_cast<std::uint8_t>(flags | (compactName ? kCompactName : 0))};
    k.firstValue = id;
    if ((k.flags & kValuesIndexed) != 0) {
        indexValue(key, id);
    } else if (count + 1 > kListedValues) {
        k.flags |= kValuesIndexed;
        for (std::uint32_t v = id; v != npos; v = valueAt(v).next) {
            indexValue(key, v);
        }
    }
    return size == 0 ? nullptr : pool_.at(data);
}

void RegistryTree::setValue(std::uint32_t key, std::u16string_view name, win::DWORD type,
                            std::string_view data, bool compact) {
    char* out = setValue(key, name, type, data.size(), compact);
    if (!data.empty()) {
        std::memcpy(out, data.data(), data.size());
    }
}

void RegistryTree::deleteValue(std::uint32_t key, std::u16string_view name) {
    setValue(key, name, win::REG_NONE, std::size_t{0});
    valueAt(findValue(key, name)).flags |= kDeleted;
}

std::vector<std::u16string_view> RegistryTree::splitPath(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    std::size_t pos = 0;
    std::u16string_view part;
    while (nextComponent(path, pos, part)) {
        parts.push_back(part);
    }
    return parts;
}

} // namespace slidevane
