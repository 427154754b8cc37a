#pragma once

#include "adapters/posix/CaseFold.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace slidevane {

// An open-addressing hash table of 32-bit references, found by (owner, case-insensitive name).
// It stores neither names nor hashes, one word a slot: the caller says whether a reference is
// the one sought, and gives a reference's hash again when the table grows. One table indexes
// every key and value of a file, so a key with a hundred thousand children or values costs no
// more per lookup than one with three, and a key with none costs nothing here.
//
// Owns: the slots. Does not own: the names, or what the references stand for.
class NameIndex {
public:
    static constexpr std::uint32_t npos = UINT32_MAX;

    // The hash of a name under its owner, folded while hashing so that a name hashes the same
    // whatever its case; unitAt(i) gives unit i of count.
    template <class UnitAt>
    static std::uint32_t hash(std::uint32_t owner, std::size_t count, UnitAt unitAt) {
        std::uint64_t h = 0xcbf29ce484222325ull ^ (std::uint64_t{owner} * 0x9E3779B97F4A7C15ull);
        for (std::size_t i = 0; i < count; ++i) {
            h = (h ^ CaseFold::fold(unitAt(i))) * 0x100000001b3ull;
        }
        return static_cast<std::uint32_t>(h ^ (h >> 32));
    }
    static std::uint32_t hash(std::uint32_t owner, std::u16string_view name) {
        return hash(owner, name.size(), [name](std::size_t i) { return name[i]; });
    }

    // The reference under hash h for which matches(ref) holds, or npos.
    template <class Matches> std::uint32_t find(std::uint32_t h, Matches matches) const {
        if (slots_.empty()) {
            return npos;
        }
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            const std::uint32_t ref = slots_[i];
            if (ref == kEmpty) {
                return npos;
            }
            if (ref != kErased && matches(ref)) {
                return ref;
            }
        }
    }

    // Adds ref under hash h; hashOf(r) gives the hash of any reference already in the table.
    template <class HashOf> void insert(std::uint32_t h, std::uint32_t ref, HashOf hashOf) {
        if ((used_ + 1) * 2 > slots_.size()) {
            grow(hashOf);
        }
        place(h, ref);
        ++used_;
        ++live_;
    }

    void erase(std::uint32_t h, std::uint32_t ref);

    std::size_t size() const { return live_; }
    std::size_t bytesHeld() const { return slots_.capacity() * sizeof(std::uint32_t); }

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    static constexpr std::uint32_t kErased = UINT32_MAX - 1;

    void place(std::uint32_t h, std::uint32_t ref) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = h & mask;
        while (slots_[i] != kEmpty) {
            i = (i + 1) & mask;
        }
        slots_[i] = ref;
    }

    // Rehashes into a table at most half full once the new entry is in, so that the table
    // stays between a quarter and half full as it doubles; erased slots are dropped on the way.
    template <class HashOf> void grow(HashOf hashOf) {
        std::size_t capacity = 16;
        while (capacity < (live_ + 1) * 2) {
            capacity *= 2;
        }
        std::vector<std::uint32_t> old(capacity, kEmpty);
        old.swap(slots_);
        for (const std::uint32_t ref : old) {
            if (ref != kEmpty && ref != kErased) {
                place(hashOf(ref), ref);
            }
        }
        used_ = live_;
    }

    std::vector<std::uint32_t> slots_;
    std::size_t used_ = 0; // live and erased slots: both lengthen probes
    std::size_t live_ = 0;
};

} // namespace slidevane
