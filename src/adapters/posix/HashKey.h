#pragma once

#include <cstdint>

namespace slidevane {

// The 128-bit key of a keyed hash. The one the process uses is drawn from the kernel's random
// source when it is first asked for and never leaves the process, so names that collide in one
// run of the program (or in someone's search) are no more likely to collide in another than
// any names are.
//
// Owns: the process's key. Does not own: the hashes made with it (SipHash).
struct HashKey {
    std::uint64_t k0 = 0;
    std::uint64_t k1 = 0;

    // A new key from getrandom(); should the kernel refuse, from the clock, the process id and
    // where the stack and the heap lie, which still differ from one run to the next.
    static HashKey draw();
    // The process's own key, drawn once.
    static const HashKey& process() {
        static const HashKey key = draw();
        return key;
    }
    bool operator==(const HashKey&) const = default;
};

} // namespace slidevane
