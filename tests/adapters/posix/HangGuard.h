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
// milliseconds and are measured by bench/registry; the quadratic and exponential costs these
// guard against took seconds to minutes. Unoptimized and sanitized builds run about ten times
// slower, so they get ten times longer.
#if defined(NDEBUG) && !defined(SLIDEVANE3_SANITIZED)
constexpr std::chrono::seconds kHangGuard{2};
#else
constexpr std::chrono::seconds kHangGuard{20};
#endif

} // namespace slidevane::test
