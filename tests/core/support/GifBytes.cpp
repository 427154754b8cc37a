#include "GifBytes.h"

#include <algorithm>

namespace slidevane::testing {

namespace {

void Word(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>((value >> 8) & 0xff);
}

// The size field of a colour table's flags and the table padded to its power of two.
unsigned TableBits(const std::vector<std::uint32_t>& colours) {
    unsigned bits = 1;
    while ((1u << bits) < colours.size()) {
        ++bits;
    }
    return bits;
}

void Table(std::string& out, const std::vector<std::uint32_t>& colours) {
    unsigned const entries = 1u << TableBits(colours);
    for (unsigned i = 0; i < entries; ++i) {
        std::uint32_t const colour = i < colours.size() ? colours[i] : 0;
        out += static_cast<char>((colour >> 16) & 0xff);
        out += static_cast<char>((colour >> 8) & 0xff);
        out += static_cast<char>(colour & 0xff);
    }
}

} // namespace

std::vector<GifCode> GifBytes::Encode(const std::vector<std::uint8_t>& pixels, unsigned codeSize,
                                      bool deferredClear, bool endCode) {
    unsigned const clear = 1u << codeSize;
    std::vector<GifCode> codes;
    // The table as (prefix code, pixel) -> code, kept between calls (it is 2 MiB); only the
    // entries made are cleared again.
    static std::vector<std::uint16_t> table(4096u * 256u, 0);
    std::vector<std::size_t> made;
    unsigned next = clear + 2;        // the encoder's next entry
    unsigned decoderNext = clear + 2; // the decoder's, one entry behind
    unsigned width = codeSize + 1;
    bool firstAfterClear = true;
    auto emit = [&](unsigned code) {
        codes.push_back({code, width});
        // The decoder makes an entry for every code but the first after a clear, and widens its
        // codes when its next entry needs another bit.
        if (!firstAfterClear && decoderNext < 4096) {
            ++decoderNext;
            if (decoderNext == (1u << width) && width < 12) {
                ++width;
            }
        }
        firstAfterClear = false;
    };
    auto reset = [&] {
        for (std::size_t slot : made) {
            table[slot] = 0;
        }
        made.clear();
        next = clear + 2;
        decoderNext = clear + 2;
        firstAfterClear = true;
    };
    codes.push_back({clear, width});
    if (pixels.empty()) {
        codes.push_back({clear + 1, width});
        return codes;
    }
    unsigned prefix = pixels[0];
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        std::size_t const slot = prefix * 256u + pixels[i];
        if (table[slot] != 0) {
            prefix = table[slot];
            continue;
        }
        emit(prefix);
        if (next < 4096) {
            table[slot] = static_cast<std::uint16_t>(next++);
            made.push_back(slot);
        } else if (!deferredClear) {
            codes.push_back({clear, width});
            width = codeSize + 1;
            reset();
        }
        prefix = pixels[i];
    }
    emit(prefix);
    if (endCode) {
        codes.push_back({clear + 1, width});
    }
    reset();
    return codes;
}

std::string GifBytes::SubBlocks(const std::vector<GifCode>& codes) {
    std::string data;
    std::uint32_t bits = 0;
    unsigned count = 0;
    for (GifCode const& code : codes) {
        bits |= code.value << count;
        count += code.width;
        while (count >= 8) {
            data += static_cast<char>(bits & 0xff);
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) {
        data += static_cast<char>(bits & 0xff);
    }
    std::string blocks;
    for (std::size_t at = 0; at < data.size(); at += 255) {
        std::size_t const length = std::min<std::size_t>(255, data.size() - at);
        blocks += static_cast<char>(length);
        blocks += data.substr(at, length);
    }
    blocks += '\0';
    return blocks;
}

std::string GifBytes::ImageBlock(unsigned width, unsigned height, const std::vector<GifCode>& codes,
                                 unsigned codeSize) {
    std::string out = ",";
    Word(out, 0);
    Word(out, 0);
    Word(out, width);
    Word(out, height);
    out += '\0';
    out += static_cast<char>(codeSize);
    return out + SubBlocks(codes);
}

std::vector<std::uint8_t> GifBytes::Interlace(const std::vector<std::uint8_t>& pixels,
                                              unsigned width, unsigned height) {
    std::vector<std::uint8_t> out;
    for (auto [start, step] : {std::pair{0u, 8u}, {4u, 8u}, {2u, 4u}, {1u, 2u}}) {
        for (unsigned row = start; row < height; row += step) {
            out.insert(out.end(), pixels.begin() + row * width, pixels.begin() + (row + 1) * width);
        }
    }
    return out;
}

std::string GifBytes::Write(const GifLayout& layout) {
    std::string out = "GIF89a";
    Word(out, layout.screenWidth);
    Word(out, layout.screenHeight);
    bool const global = !layout.globalColours.empty();
    out += static_cast<char>(global ? 0x80 | (TableBits(layout.globalColours) - 1) : 0);
    out += static_cast<char>(layout.background);
    out += '\0';
    if (global) {
        Table(out, layout.globalColours);
    }
    if (layout.transparent >= 0) {
        out += "\x21\xf9\x04\x01";
        out += std::string(2, '\0');
        out += static_cast<char>(layout.transparent);
        out += '\0';
    }
    out += ',';
    Word(out, layout.left);
    Word(out, layout.top);
    Word(out, layout.width);
    Word(out, layout.height);
    bool const local = !layout.localColours.empty();
    out += static_cast<char>((local ? 0x80 | (TableBits(layout.localColours) - 1) : 0) |
                             (layout.interlaced ? 0x40 : 0));
    if (local) {
        Table(out, layout.localColours);
    }
    unsigned codeSize = static_cast<unsigned>(layout.codeSize);
    if (layout.codeSize < 0) {
        std::uint8_t const deepest =
            layout.pixels.empty() ? 0
                                  : *std::max_element(layout.pixels.begin(), layout.pixels.end());
        codeSize = 2;
        while ((1u << codeSize) <= deepest) {
            ++codeSize;
        }
    }
    out += static_cast<char>(codeSize);
    std::vector<std::uint8_t> const stream =
        layout.interlaced ? Interlace(layout.pixels, layout.width, layout.height) : layout.pixels;
    out += SubBlocks(layout.rawCodes.empty()
                         ? Encode(stream, codeSize, layout.deferredClear, layout.endCode)
                         : layout.rawCodes);
    out += layout.extraImages;
    out += ';';
    return out;
}

} // namespace slidevane::testing
