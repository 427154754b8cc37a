#include "adapters/posix/RegistryTree.h"

#include "adapters/posix/CaseFold.h"

#include <algorithm>

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

void RegistryTree::markLink(std::uint32_t key) {
    if (!keys_[key].link) {
        keys_[key].link = true;
        linkKeys_.push_back(key);
    }
}

void RegistryTree::readLinkTargets() {
    for (const std::uint32_t key : linkKeys_) {
        Key& k = keys_[key];
        k.target = npos;
        const Value* v = k.link ? value(key, u"symboliclinkvalue") : nullptr;
        // Checked before anything is copied: a target can be as long as its file.
        if (v == nullptr || v->deleted || v->unitCount() > kMaxLinkTargetLength) {
            continue;
        }
        std::u16string target(v->unitCount(), u'\0');
        for (std::size_t i = 0; i < target.size(); ++i) {
            target[i] = CaseFold::fold(v->unit(i));
        }
        // "\registry\machine" or "\registry\user", then the path below that root.
        std::size_t pos = 0;
        std::u16string_view part;
        Link link{Root::LocalMachine, {}};
        if (!nextComponent(target, pos, part) || part != u"registry" ||
            !nextComponent(target, pos, part)) {
            continue;
        }
        if (part == u"user") {
            link.root = Root::Users;
        } else if (part != u"machine") {
            continue;
        }
        const std::size_t below = pos;
        std::size_t depth = 0;
        bool fits = true;
        while (fits && nextComponent(target, pos, part)) {
            fits = part.size() <= kMaxKeyNameLength && ++depth <= kMaxDepth;
        }
        if (fits) {
            link.path = target.substr(below);
            k.target = static_cast<std::uint32_t>(links_.size());
            links_.push_back(std::move(link));
        }
    }
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
    while (depth > 0) {
        Pending& top = stack[depth - 1];
        std::u16string_view name;
        if (top.link != nullptr ? !nextComponent(top.link->path, top.next, name)
                                : top.next == path.size()) {
            --depth;
            continue;
        }
        if (top.link == nullptr) {
            name = path[top.next++];
        }
        key = child(key, name);
        if (key == npos) {
            return npos;
        }
        const Key& k = keys_[key];
        cut = cut || k.wiped;
        if (!k.link) {
            continue;
        }
        if (k.target == npos || hops == kMaxLinkHops) {
            return npos;
        }
        ++hops;
        const Link& link = links_[k.target];
        key = rootKey(link.root);
        stack[depth++] = Pending{&link, 0};
    }
    return key;
}

void RegistryTree::setValue(std::uint32_t key, std::u16string_view name, win::DWORD type,
                            std::string data, bool compact) {
    const std::uint32_t h = NameIndex::hash(key, name);
    const std::uint32_t found = findValue(key, name, h);
    if (found != npos) {
        Value& v = values_[found];
        v.type = type;
        v.data = std::move(data);
        v.compact = compact;
        v.deleted = false;
        return;
    }
    const auto id = static_cast<std::uint32_t>(values_.size());
    values_.push_back(Value{std::u16string(name), type, std::move(data), compact, false});
    keys_[key].values.push_back(id);
    valueIndex_.insert(key, h, id);
}

void RegistryTree::deleteValue(std::uint32_t key, std::u16string_view name) {
    setValue(key, name, win::REG_NONE, {});
    values_[findValue(key, name, NameIndex::hash(key, name))].deleted = true;
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
