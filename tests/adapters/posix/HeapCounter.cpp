#include "HeapCounter.h"

#include "HangGuard.h"

#include <algorithm>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::size_t heapLive = 0;
std::size_t heapPeak = 0;

} // namespace

#ifndef SLIDEVANE3_SANITIZED
void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    heapLive += ::malloc_usable_size(p);
    heapPeak = std::max(heapPeak, heapLive);
    return p;
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
// Kept out of line: inlined into a caller, the compiler takes its free() for one that does not
// match the caller's new.
__attribute__((noinline)) void operator delete(void* p) noexcept {
    if (p != nullptr) {
        heapLive -= ::malloc_usable_size(p);
        std::free(p);
    }
}
void operator delete[](void* p) noexcept {
    ::operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
    ::operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    ::operator delete(p);
}
#endif

namespace slidevane::test {

bool HeapCounter::counting() {
#ifdef SLIDEVANE3_SANITIZED
    return false;
#else
    return true;
#endif
}

std::size_t HeapCounter::live() {
    return heapLive;
}

std::size_t HeapCounter::peak() {
    return heapPeak;
}

void HeapCounter::resetPeak() {
    heapPeak = heapLive;
}

} // namespace slidevane::test
