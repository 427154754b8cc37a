#pragma once

#include "adapters/posix/CaseFold.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace slidevane {

// An open-addressing hash index from (owner, case-insensitive name) to an id. It stores no
// names: the caller says how to get the name of an id, so a hive of fifty thousand keys costs
// one flat array here instead of a node and a folded copy per name.
//
// Owns: the slots. Does not own: the names or what the ids stand for.
class NameIndex {
public:
    static constexpr std::uint32_t npos = UINT32_MAX;

    // Folds while hashing, so a name hashes the same whatever its case.
    static std::uint32_t hash(std::uint32_t owner, std::u16string_view name) {
        std::uint64_t h = 0xcbf29ce484222325ull ^ (std::uint64_t{owner} * 0x9E3779B97F4A7C15ull);
        for (const char16_t unit : name) {
            h = (h ^ CaseFold::fold(unit)) * 0x100000001b3ull;
        }
        return static_cast<std::uint32_t>(h ^ (h >> 32));
    }

    template <class NameOf>
    std::uint32_t find(std::uint32_t owner, std::u16string_view name, std::uint32_t h,
                       NameOf nameOf) const {
        if (slots_.empty()) {
            return npos;
        }
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            const Slot& s = slots_[i];
            if (s.id == kEmpty) {
                return npos;
            }
            if (s.id != kErased && s.hash == h && s.owner == owner &&
                CaseFold::equal(nameOf(s.id), name)) {
                return s.id;
            }
        }
    }

    void insert(std::uint32_t owner, std::uint32_t h, std::uint32_t id);
    void erase(std::uint32_t h, std::uint32_t id);

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    static constexpr std::uint32_t kErased = UINT32_MAX - 1;
    struct Slot {
        std::uint32_t owner = 0;
        std::uint32_t hash = 0;
        std::uint32_t id = kEmpty;
    };

    void grow();

    std::vector<Slot> slots_;
    std::size_t used_ = 0; // live and erased slots: both lengthen probes
};

} // namespace slidevane
