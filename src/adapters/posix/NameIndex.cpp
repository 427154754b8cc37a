#include "adapters/posix/NameIndex.h"

#include <algorithm>

namespace slidevane {

void NameIndex::erase(std::uint32_t h, std::uint32_t ref) {
    if (slots_.empty()) {
        return;
    }
    for (std::size_t i = home(h); slots_[i].ref != kEmpty; i = next(i)) {
        if (slots_[i].ref == ref) {
            slots_[i].ref = kErased;
            --live_;
            return;
        }
    }
}

std::size_t NameIndex::longestProbe() const {
    // A run may wrap from the last slot to the first: it is counted on from the end.
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t i = 0; i < 2 * slots_.size(); ++i) {
        run = slots_[i % slots_.size()].ref == kEmpty ? 0 : run + 1;
        longest = std::max(longest, std::min(run, slots_.size()));
    }
    return longest;
}

void NameIndex::grow() {
    std::vector<Slot> old(capacityFor(live_ + 1), Slot{kEmpty, 0});
    old.swap(slots_);
    for (const Slot slot : old) {
        if (slot.ref != kEmpty && slot.ref != kErased) {
            place(slot);
        }
    }
    used_ = live_;
}

} // namespace slidevane
