#include "adapters/posix/NameIndex.h"

namespace slidevane {

void NameIndex::erase(std::uint32_t h, std::uint32_t ref) {
    if (slots_.empty()) {
        return;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask; slots_[i] != kEmpty; i = (i + 1) & mask) {
        if (slots_[i] == ref) {
            slots_[i] = kErased;
            --live_;
            return;
        }
    }
}

} // namespace slidevane
