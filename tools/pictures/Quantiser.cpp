#include "Quantiser.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <unordered_map>

namespace slidevane {

namespace {

Rgb PixelAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return Rgb{static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
               static_cast<std::uint8_t>(qBlue(p))};
}

int Distance(Rgb a, Rgb b) {
    const int dr = a.r - b.r;
    const int dg = a.g - b.g;
    const int db = a.b - b.b;
    // Green weighs most to the eye; keeps text edges from drifting into odd hues.
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

struct Entry {
    Rgb colour;
    std::uint64_t count;
};

struct Box {
    std::vector<Entry> entries;

    int Channel(const Entry& e, int c) const {
        return c == 0 ? e.colour.r : c == 1 ? e.colour.g : e.colour.b;
    }

    // Widest channel and its range, so the cut goes where colours differ most.
    std::pair<int, int> Widest() const {
        int best = 0;
        int bestRange = -1;
        for (int c = 0; c < 3; ++c) {
            int lo = 255;
            int hi = 0;
            for (const Entry& e : entries) {
                lo = std::min(lo, Channel(e, c));
                hi = std::max(hi, Channel(e, c));
            }
            if (hi - lo > bestRange) {
                bestRange = hi - lo;
                best = c;
            }
        }
        return {best, bestRange};
    }

    Rgb Mean() const {
        std::uint64_t r = 0, g = 0, b = 0, n = 0;
        for (const Entry& e : entries) {
            r += e.colour.r * e.count;
            g += e.colour.g * e.count;
            b += e.colour.b * e.count;
            n += e.count;
        }
        return Rgb{static_cast<std::uint8_t>((r + n / 2) / n),
                   static_cast<std::uint8_t>((g + n / 2) / n),
                   static_cast<std::uint8_t>((b + n / 2) / n)};
    }
};

std::vector<Rgb> MedianCut(std::vector<Entry> entries, int wanted) {
    std::vector<Box> boxes{Box{std::move(entries)}};
    while (static_cast<int>(boxes.size()) < wanted) {
        auto pick = boxes.end();
        int pickRange = 0;
        for (auto it = boxes.begin(); it != boxes.end(); ++it) {
            if (it->entries.size() < 2)
                continue;
            const int range = it->Widest().second;
            if (range > pickRange) {
                pickRange = range;
                pick = it;
            }
        }
        if (pick == boxes.end())
            break;
        const int channel = pick->Widest().first;
        std::sort(pick->entries.begin(), pick->entries.end(), [&](const Entry& a, const Entry& b) {
            return pick->Channel(a, channel) < pick->Channel(b, channel);
        });
        std::uint64_t total = 0;
        for (const Entry& e : pick->entries)
            total += e.count;
        std::uint64_t running = 0;
        std::size_t cut = 1;
        for (; cut < pick->entries.size(); ++cut) {
            running += pick->entries[cut - 1].count;
            if (running * 2 >= total)
                break;
        }
        cut = std::clamp<std::size_t>(cut, 1, pick->entries.size() - 1);
        Box upper{std::vector<Entry>(pick->entries.begin() + static_cast<std::ptrdiff_t>(cut),
                                     pick->entries.end())};
        pick->entries.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> out;
    for (const Box& box : boxes)
        out.push_back(box.Mean());
    return out;
}

} // namespace

IndexedImage Quantiser::Reduce(const QImage& image, const std::vector<Rgb>& pinned,
                               int maxColours) {
    if (static_cast<int>(pinned.size()) > maxColours)
        throw std::invalid_argument("more pinned colours than the palette can hold");
    std::map<std::uint32_t, std::uint64_t> histogram;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++histogram[PixelAt(image, x, y).Key()];

    IndexedImage out;
    out.width = image.width();
    out.height = image.height();
    std::unordered_map<std::uint32_t, std::uint8_t> exact;
    auto add = [&](Rgb c) {
        if (exact.count(c.Key()) == 0) {
            exact[c.Key()] = static_cast<std::uint8_t>(out.palette.size());
            out.palette.push_back(c);
        }
    };
    for (Rgb c : pinned)
        add(c);

    std::vector<Entry> rest;
    for (const auto& [key, count] : histogram)
        if (exact.count(key) == 0)
            rest.push_back(Entry{Rgb::FromKey(key), count});
    const int room = maxColours - static_cast<int>(out.palette.size());
    if (static_cast<int>(rest.size()) <= room) {
        for (const Entry& e : rest)
            add(e.colour);
    } else if (room > 0) {
        for (Rgb c : MedianCut(std::move(rest), room))
            if (exact.count(c.Key()) == 0 && static_cast<int>(out.palette.size()) < maxColours)
                add(c);
    }
    if (out.palette.empty())
        out.palette.push_back(Rgb{});

    std::unordered_map<std::uint32_t, std::uint8_t> nearest;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const Rgb c = PixelAt(image, x, y);
            std::uint8_t index;
            if (auto hit = exact.find(c.Key()); hit != exact.end()) {
                index = hit->second;
            } else if (auto seen = nearest.find(c.Key()); seen != nearest.end()) {
                index = seen->second;
            } else {
                index = 0;
                for (std::size_t i = 1; i < out.palette.size(); ++i)
                    if (Distance(c, out.palette[i]) < Distance(c, out.palette[index]))
                        index = static_cast<std::uint8_t>(i);
                nearest[c.Key()] = index;
            }
            out.pixels[static_cast<std::size_t>(y) * out.width + x] = index;
        }
    }
    return out;
}

IndexedImage Quantiser::ToPalette(const QImage& image, const std::vector<Rgb>& palette,
                                  std::vector<std::uint8_t>& mask) {
    if (palette.empty() || palette.size() > 256)
        throw std::invalid_argument("palette must hold 1 to 256 colours");
    IndexedImage out;
    out.width = image.width();
    out.height = image.height();
    out.palette = palette;
    out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, 0);
    mask.assign(out.pixels.size(), 0);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * out.width + x;
            if (qAlpha(image.pixel(x, y)) < 128) {
                mask[at] = 1;
                continue;
            }
            const Rgb c = PixelAt(image, x, y);
            std::uint8_t index = 0;
            for (std::size_t i = 1; i < palette.size(); ++i)
                if (Distance(c, palette[i]) < Distance(c, palette[index]))
                    index = static_cast<std::uint8_t>(i);
            out.pixels[at] = index;
        }
    }
    return out;
}

} // namespace slidevane
