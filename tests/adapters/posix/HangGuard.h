#pragma once

#include <chrono>

#if defined(__SANITIZE_ADDRESS__)
#define SLIDEVANE3_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SLIDEVANE3_SANITIZED 1
#endif
#endif

namespace slidevane::test {

// How long a test lets a hostile input take before it calls it a hang. The goals are
// milliseconds and are measured by bench/registry; the costs these guard against took from ten
// seconds to minutes for the same work. The limit leaves room for a machine busy with other
// builds; unoptimized and sanitized builds run about ten times slower and get six times longer.
#if defined(NDEBUG) && !defined(SLIDEVANE3_SANITIZED)
constexpr std::chrono::seconds kHangGuard{5};
#else
constexpr std::chrono::seconds kHangGuard{30};
#endif

} // namespace slidevane::test
