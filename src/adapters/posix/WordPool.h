#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace slidevane {

// Storage for many small items of any size, each addressed by a 32-bit offset counted in 4-byte
// words: items are laid end to end in blocks that never move, so an item costs its size rounded
// to a word and no pointer, header or growth slack of its own. Blocks start small (a small file
// costs little) and double up to 16 KiB, so the last one wastes little; an item larger than half
// a block gets a block of its exact size. Every block starts a 16 KiB window of offsets, so an
// offset finds its block by a shift.
// Nothing is freed before the pool is.
//
// Owns: the blocks. Does not own: what the items mean.
class WordPool {
public:
    static constexpr std::uint32_t kWindowWords = 1u << 12;
    // Offsets beyond this are refused (std::length_error): 4 GiB of items and waste.
    static constexpr std::uint32_t kMaxWords = 1u << 30;

    // A word-aligned item of the given size, zeroed.
    std::uint32_t allocate(std::size_t bytes);
    // The bytes allocate(bytes) would take from the heap: a new block, or 0 when the item fits.
    std::size_t growthFor(std::size_t bytes) const;

    char* at(std::uint32_t offset) {
        return windows_[offset / kWindowWords] + std::size_t{offset % kWindowWords} * 4;
    }
    const char* at(std::uint32_t offset) const {
        return windows_[offset / kWindowWords] + std::size_t{offset % kWindowWords} * 4;
    }

    // What the blocks take, window table included.
    std::size_t bytesHeld() const { return held_ + windows_.capacity() * sizeof(char*); }

private:
    char* newBlock(std::size_t words);
    // The window table's capacity once it has room for `windows`.
    std::size_t windowTableFor(std::size_t windows) const;

    std::vector<std::unique_ptr<std::uint32_t[]>> blocks_;
    std::vector<char*> windows_; // the block each window of offsets lies in, as bytes
    std::uint32_t next_ = 0;     // the next free word of the current block
    std::uint32_t limit_ = 0;    // the end of the current block
    std::size_t blockWords_ = 64;
    std::size_t held_ = 0;
};

} // namespace slidevane
