#pragma once

#include <cmath>
#include <cstdint>

namespace slidevane {

// One exact 8-bit colour. The window's look is described in these values, so palettes pin them
// and tests compare against them; no alpha, because GIF, ICO and CUR pixels here are opaque or
// masked.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;

    constexpr std::uint32_t Key() const {
        return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | std::uint32_t{b};
    }
    static constexpr Rgb FromKey(std::uint32_t key) {
        return Rgb{static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                   static_cast<std::uint8_t>(key)};
    }
    // Linear blend; t = 0 gives a, t = 1 gives b, rounded to the nearest step.
    static Rgb Mix(Rgb a, Rgb b, double t);
};

inline Rgb Rgb::Mix(Rgb a, Rgb b, double t) {
    auto mix = [t](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
    };
    return Rgb{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

} // namespace slidevane
