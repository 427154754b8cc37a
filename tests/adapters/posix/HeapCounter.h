#pragma once

#include <cstddef>

namespace slidevane::test {

// The heap this test program has in use, counted at every operator new and delete, and its peak
// since the last resetPeak(): exact for what the code under test allocates, however the
// allocator keeps its pages. Not counted under the sanitizers, which bring their own allocator.
//
// Owns: the counts. Does not own: the allocations.
class HeapCounter {
public:
    static bool counting();
    static std::size_t live();
    static std::size_t peak();
    static void resetPeak();
};

} // namespace slidevane::test
