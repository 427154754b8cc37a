#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// How the window benchmarks time an operation: one call at a time after a warm-up, summarised as
// the median and the 90th percentile, in microseconds. Shared by the Qt and the Win32 window's
// benchmarks so that their figures stand side by side.
namespace slidevane::bench {

struct Figures {
    double median;
    double p90;
};

inline Figures Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 9 / 10]};
}

// `operation` gets the call's number, from 0 for the first warm-up call on.
inline Figures Time(const std::function<void(int)>& operation, int count = 2000, int warmUp = 100) {
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < warmUp; ++i) {
        operation(i);
    }
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto const start = Clock::now();
        operation(i);
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return Summarise(samples);
}

} // namespace slidevane::bench
