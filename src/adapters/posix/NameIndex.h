#pragma once

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/HashKey.h"
#include "adapters/posix/SipHash.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace slidevane {

// An open-addressing hash table of 32-bit references, found by (owner, case-insensitive name).
// It stores no names: a slot is a reference and its hash, and the caller says whether a
// reference whose hash matches is the one sought, so a lookup reads a record only for a name
// that hashes alike. One table indexes every key and value of a file, so a key with a hundred
// thousand children or values costs no more per lookup than one with three, and a key with none
// costs nothing here. Names are hashed with SipHash-1-3 under the process's own random key: a
// file cannot choose names that share a hash or crowd one stretch of the table, so a lookup
// passes a few slots (linear probing, at most three quarters full) whatever the names. A
// hash picks its slot by multiplication rather than by its low bits, so the table can grow by
// half rather than double: it holds between half and three quarters of its slots in use.
//
// Owns: the slots. Does not own: the names, or what the references stand for.
class NameIndex {
public:
    static constexpr std::uint32_t npos = UINT32_MAX;

    using Hash = SipHash<1, 3>;

    // The hash of a name under its owner: the keyed hash of the owner's four bytes followed by
    // the name's units, two bytes each, all little-endian. foldedAt(i) gives unit i of count,
    // case-folded (CaseFold::fold), so that a name hashes the same whatever its case.
    template <class FoldedAt>
    static std::uint32_t hash(std::uint32_t owner, std::size_t count, FoldedAt foldedAt,
                              const HashKey& key = HashKey::process()) {
        Hash h(key);
        std::uint64_t block = owner;
        unsigned filled = 2; // units in block
        for (std::size_t i = 0; i < count; ++i) {
            block |= std::uint64_t{foldedAt(i)} << (16 * filled);
            if (++filled == 4) {
                h.block(block);
                block = 0;
                filled = 0;
            }
        }
        return static_cast<std::uint32_t>(h.finish(block, 4 + 2 * std::uint64_t{count}));
    }
    // A name in any case, folded as it is hashed.
    static std::uint32_t hash(std::uint32_t owner, std::u16string_view name,
                              const HashKey& key = HashKey::process()) {
        const char16_t* const fold = CaseFold::table();
        return hash(
            owner, name.size(), [name, fold](std::size_t i) { return fold[name[i]]; }, key);
    }
    // A name already folded, as lookups give it.
    static std::uint32_t hashFolded(std::uint32_t owner, std::u16string_view folded,
                                    const HashKey& key = HashKey::process()) {
        return hash(
            owner, folded.size(), [folded](std::size_t i) { return folded[i]; }, key);
    }

    // The reference under hash h for which matches(ref) holds, or npos.
    template <class Matches> std::uint32_t find(std::uint32_t h, Matches matches) const {
        if (slots_.empty()) {
            return npos;
        }
        for (std::size_t i = home(h);; i = next(i)) {
            const Slot slot = slots_[i];
            if (slot.ref == kEmpty) {
                return npos;
            }
            if (slot.hash == h && slot.ref != kErased && matches(slot.ref)) {
                return slot.ref;
            }
        }
    }

    // Adds ref under hash h.
    void insert(std::uint32_t h, std::uint32_t ref) {
        if (full()) {
            grow();
        }
        place(Slot{ref, h});
        ++used_;
        ++live_;
    }

    void erase(std::uint32_t h, std::uint32_t ref);

    // The bytes the next insert allocates: the grown table, while the old one is still held;
    // 0 when it fits.
    std::size_t growthOnInsert() const {
        return full() ? capacityFor(live_ + 1) * sizeof(Slot) : 0;
    }

    std::size_t size() const { return live_; }
    // The most slots a lookup passes: the longest run of slots in use.
    std::size_t longestProbe() const;
    std::size_t bytesHeld() const { return slots_.capacity() * sizeof(Slot); }

private:
    struct Slot {
        std::uint32_t ref;
        std::uint32_t hash;
    };
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    static constexpr std::uint32_t kErased = UINT32_MAX - 1;

    // One more entry would pass three quarters; erased slots count, as they lengthen probes.
    bool full() const { return (used_ + 1) * 4 > slots_.size() * 3; }

    // A table that the entries fill by half.
    static std::size_t capacityFor(std::size_t entries) {
        return std::max<std::size_t>(16, entries * 2);
    }

    // The slot a hash starts at: its place in the table as a fraction of 2^32.
    std::size_t home(std::uint32_t h) const {
        return static_cast<std::size_t>((std::uint64_t{h} * slots_.size()) >> 32);
    }
    std::size_t next(std::size_t i) const { return i + 1 == slots_.size() ? 0 : i + 1; }

    void place(Slot slot) {
        std::size_t i = home(slot.hash);
        while (slots_[i].ref != kEmpty) {
            i = next(i);
        }
        slots_[i] = slot;
    }

    // Moves the entries into a larger table, each by the hash it keeps; erased slots are
    // dropped on the way.
    void grow();

    std::vector<Slot> slots_;
    std::size_t used_ = 0; // live and erased slots
    std::size_t live_ = 0;
};

} // namespace slidevane
