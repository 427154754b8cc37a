#pragma once

#include "adapters/posix/HashKey.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace slidevane {

// SipHash-C-D (Aumasson and Bernstein): a keyed hash whose collisions cannot be chosen without
// the key, so that a file cannot pick names that all land in one place of a hash table. The
// message is fed as 8-byte little-endian blocks as the caller makes them, so units computed on
// the way (case-folded names) are hashed without being gathered first; of() hashes bytes
// already in memory, with the same rounds.
//
// Owns: the state of one hash. Does not own: the key (HashKey).
template <int C, int D> class SipHash {
public:
    explicit SipHash(const HashKey& key)
        : v0_(key.k0 ^ 0x736f6d6570736575ull), v1_(key.k1 ^ 0x646f72616e646f6dull),
          v2_(key.k0 ^ 0x6c7967656e657261ull), v3_(key.k1 ^ 0x7465646279746573ull) {}

    // The next 8 bytes of the message, the first in the low byte.
    void block(std::uint64_t m) {
        v3_ ^= m;
        for (int i = 0; i < C; ++i) {
            round();
        }
        v0_ ^= m;
    }

    // The hash of a message of `length` bytes whose last length % 8 bytes are in tail (the
    // first in the low byte, the rest zero).
    std::uint64_t finish(std::uint64_t tail, std::uint64_t length) {
        block(tail | length << 56);
        v2_ ^= 0xff;
        for (int i = 0; i < D; ++i) {
            round();
        }
        return v0_ ^ v1_ ^ v2_ ^ v3_;
    }

    static std::uint64_t of(const HashKey& key, const void* bytes, std::size_t length) {
        SipHash hash(key);
        const auto* p = static_cast<const unsigned char*>(bytes);
        std::size_t i = 0;
        for (; i + 8 <= length; i += 8) {
            hash.block(load(p + i, 8));
        }
        return hash.finish(load(p + i, length - i), length);
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int b) { return x << b | x >> (64 - b); }

    static std::uint64_t load(const unsigned char* p, std::size_t n) {
        std::uint64_t m = 0;
        for (std::size_t i = 0; i < n; ++i) {
            m |= std::uint64_t{p[i]} << (8 * i);
        }
        return m;
    }

    void round() {
        v0_ += v1_;
        v1_ = rotl(v1_, 13);
        v1_ ^= v0_;
        v0_ = rotl(v0_, 32);
        v2_ += v3_;
        v3_ = rotl(v3_, 16);
        v3_ ^= v2_;
        v0_ += v3_;
        v3_ = rotl(v3_, 21);
        v3_ ^= v0_;
        v2_ += v1_;
        v1_ = rotl(v1_, 17);
        v1_ ^= v2_;
        v2_ = rotl(v2_, 32);
    }

    std::uint64_t v0_;
    std::uint64_t v1_;
    std::uint64_t v2_;
    std::uint64_t v3_;
};

} // namespace slidevane
