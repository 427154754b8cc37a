#include "adapters/posix/HashKey.h"

#include <cerrno>
#include <cstddef>
#include <ctime>
#include <memory>
#include <sys/random.h>
#include <unistd.h>

namespace slidevane {

HashKey HashKey::draw() {
    HashKey key;
    auto* out = reinterpret_cast<unsigned char*>(&key);
    std::size_t got = 0;
    while (got < sizeof key) {
        const ssize_t n = ::getrandom(out + got, sizeof key - got, 0);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            break;
        }
    }
    if (got < sizeof key) {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const auto heap = std::make_unique<int>(0);
        key.k0 ^= static_cast<std::uint64_t>(now.tv_nsec) * 0x9E3779B97F4A7C15ull ^
                  static_cast<std::uint64_t>(now.tv_sec) ^
                  static_cast<std::uint64_t>(::getpid()) << 32;
        key.k1 ^= reinterpret_cast<std::uintptr_t>(&key) * 0xC2B2AE3D27D4EB4Full ^
                  reinterpret_cast<std::uintptr_t>(heap.get());
    }
    return key;
}

} // namespace slidevane
