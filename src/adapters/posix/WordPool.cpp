#include "adapters/posix/WordPool.h"

#include <algorithm>
#include <stdexcept>

namespace slidevane {

char* WordPool::newBlock(std::size_t words) {
    const std::size_t windows = (words + kWindowWords - 1) / kWindowWords;
    if (windows_.size() + windows > kMaxWords / kWindowWords) {
        throw std::length_error("registry file holds too many keys and values");
    }
    if (windows_.size() + windows > windows_.capacity()) {
        windows_.reserve(windowTableFor(windows_.size() + windows));
    }
    // Zeroed, so that padding and unwritten data never show what the allocator had.
    blocks_.push_back(std::make_unique<std::uint32_t[]>(words));
    char* block = reinterpret_cast<char*>(blocks_.back().get());
    for (std::size_t w = 0; w < windows; ++w) {
        windows_.push_back(block + w * kWindowWords * 4);
    }
    held_ += words * 4;
    return block;
}

std::size_t WordPool::windowTableFor(std::size_t windows) const {
    return std::max(windows_.capacity() * 2, windows);
}

std::size_t WordPool::growthFor(std::size_t bytes) const {
    const std::size_t words = (bytes + 3) / 4;
    std::size_t block = words;
    if (words <= kWindowWords / 2) {
        if (limit_ - next_ >= words) {
            return 0;
        }
        block = blockWords_;
        while (block < words) {
            block *= 2;
        }
    }
    const std::size_t windows = windows_.size() + (block + kWindowWords - 1) / kWindowWords;
    const std::size_t table =
        windows > windows_.capacity() ? windowTableFor(windows) * sizeof(char*) : 0;
    return block * 4 + table;
}

std::uint32_t WordPool::allocate(std::size_t bytes) {
    const std::size_t words = (bytes + 3) / 4;
    if (words > kWindowWords / 2) {
        const auto offset = static_cast<std::uint32_t>(windows_.size() * kWindowWords);
        newBlock(words);
        return offset;
    }
    if (limit_ - next_ < words) {
        while (blockWords_ < words) {
            blockWords_ *= 2;
        }
        next_ = static_cast<std::uint32_t>(windows_.size() * kWindowWords);
        newBlock(blockWords_);
        limit_ = next_ + static_cast<std::uint32_t>(blockWords_);
        blockWords_ = std::min<std::size_t>(blockWords_ * 2, kWindowWords);
    }
    const std::uint32_t offset = next_;
    next_ += static_cast<std::uint32_t>(words);
    return offset;
}

} // namespace slidevane
