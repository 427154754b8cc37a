#include "adapters/posix/RegistryTree.h"

#include "adapters/posix/CaseFold.h"

namespace slidevane {

RegistryTree::RegistryTree() : keys_(kRootCount) {
    for (Key& root : keys_) {
        root.exists = true;
    }
}

std::uint32_t RegistryTree::child(std::uint32_t parent, std::u16string_view foldedName) const {
    return childIndex_.find(
        parent, foldedName, NameIndex::hash(parent, foldedName),
        [this](std::uint32_t id) -> std::u16string_view { return keys_[id].name; });
}

const RegistryTree::Value* RegistryTree::value(std::uint32_t key,
                                               std::u16string_view foldedName) const {
    const std::uint32_t id = findValue(key, foldedName, NameIndex::hash(key, foldedName));
    return id == npos ? nullptr : &values_[id];
}

std::uint32_t RegistryTree::findOrAddChild(std::uint32_t parent, std::u16string_view name,
                                           bool exists) {
    const std::uint32_t h = NameIndex::hash(parent, name);
    const std::uint32_t found =
        childIndex_.find(parent, name, h, [this](std::uint32_t id) -> std::u16string_view {
            return keys_[id].name;
        });
    if (found != npos) {
        keys_[found].exists = keys_[found].exists || exists;
        return found;
    }
    const auto id = static_cast<std::uint32_t>(keys_.size());
    Key k;
    k.name = std::u16string(name);
    k.parent = parent;
    k.exists = exists;
    keys_.push_back(std::move(k));
    keys_[parent].children.push_back(id);
    childIndex_.insert(parent, h, id);
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
    for (const std::uint32_t v : keys_[key].values) {
        valueIndex_.erase(NameIndex::hash(key, values_[v].name), v);
        values_[v] = Value{};
    }
    keys_[key].values.clear();
}

std::uint32_t RegistryTree::findValue(std::uint32_t key, std::u16string_view name,
                                      std::uint32_t h) const {
    return valueIndex_.find(
        key, name, h, [this](std::uint32_t id) -> std::u16string_view { return values_[id].name; });
}

void RegistryTree::wipe(std::uint32_t key) {
    // Iterative: a file may nest keys far deeper than the stack would allow.
    std::vector<std::uint32_t> pending(keys_[key].children);
    keys_[key].children.clear();
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        Key& k = keys_[id];
        pending.insert(pending.end(), k.children.begin(), k.children.end());
        clearValues(id);
        childIndex_.erase(NameIndex::hash(k.parent, k.name), id);
        k = Key{};
        --keyCount_;
    }
    clearValues(key);
    keys_[key].wiped = true;
    keys_[key].exists = false;
    keys_[key].link = false;
}

void RegistryTree::setValue(std::uint32_t key, std::u16string_view name, win::DWORD type,
                            std::string data) {
    const std::uint32_t h = NameIndex::hash(key, name);
    const std::uint32_t found = findValue(key, name, h);
    if (found != npos) {
        Value& v = values_[found];
        v.type = type;
        v.data = std::move(data);
        v.deleted = false;
        return;
    }
    const auto id = static_cast<std::uint32_t>(values_.size());
    values_.push_back(Value{std::u16string(name), type, std::move(data), false});
    keys_[key].values.push_back(id);
    valueIndex_.insert(key, h, id);
}

void RegistryTree::deleteValue(std::uint32_t key, std::u16string_view name) {
    setValue(key, name, win::REG_NONE, {});
    values_[findValue(key, name, NameIndex::hash(key, name))].deleted = true;
}

std::vector<std::u16string_view> RegistryTree::splitPath(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    while (!path.empty()) {
        const std::size_t next = path.find(u'\\');
        if (next != 0) {
            parts.push_back(path.substr(0, next));
        }
        path = next == std::u16string_view::npos ? std::u16string_view() : path.substr(next + 1);
    }
    return parts;
}

} // namespace slidevane
