#include "adapters/posix/NameIndex.h"

namespace slidevane {

void NameIndex::insert(std::uint32_t owner, std::uint32_t h, std::uint32_t id) {
    if ((used_ + 1) * 2 > slots_.size()) {
        grow();
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    while (slots_[i].id != kEmpty) {
        i = (i + 1) & mask;
    }
    slots_[i] = Slot{owner, h, id};
    ++used_;
}

void NameIndex::erase(std::uint32_t h, std::uint32_t id) {
    if (slots_.empty()) {
        return;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask; slots_[i].id != kEmpty; i = (i + 1) & mask) {
        if (slots_[i].id == id) {
            slots_[i].id = kErased;
            return;
        }
    }
}

void NameIndex::grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    std::size_t live = 0;
    for (const Slot& s : old) {
        live += s.id != kEmpty && s.id != kErased;
    }
    std::size_t capacity = 16;
    while (capacity < (live + 1) * 4) {
        capacity *= 2;
    }
    slots_.assign(capacity, Slot{});
    used_ = 0;
    for (const Slot& s : old) {
        if (s.id != kEmpty && s.id != kErased) {
            insert(s.owner, s.hash, s.id);
        }
    }
}

} // namespace slidevane
