#include "adapters/posix/LoadBudget.h"

#include "adapters/posix/ByteSource.h"

#include <algorithm>
#include <string>

namespace slidevane {

LoadBudget::Exceeded::Exceeded()
    : std::length_error("takes more than " + std::to_string(kBytesPerFileByte) +
                        " times its size in memory") {}

LoadBudget::LoadBudget(const ByteSource& file) : file_(file) {}

std::size_t LoadBudget::limit() const {
    const std::uint64_t size = file_.sizeKnown();
    // Past the largest file the store reads, a size only matters as "large".
    const std::uint64_t capped = std::min<std::uint64_t>(size, std::uint64_t{1} << 40);
    return static_cast<std::size_t>(capped) * kBytesPerFileByte + kFixedBytes;
}

std::size_t LoadBudget::held() const {
    std::size_t total = 0;
    for (const std::size_t bytes : held_) {
        total += bytes;
    }
    return total;
}

void LoadBudget::hold(Holder holder, std::size_t bytes) {
    std::size_t& slot = held_[static_cast<std::size_t>(holder)];
    if (bytes > slot && held() - slot + bytes > limit()) {
        throw Exceeded();
    }
    slot = bytes;
}

} // namespace slidevane
