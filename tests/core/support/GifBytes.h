#pragma once

#include <cstdint>
#include <string>
#include <vector>

// GIF files built byte by byte for the decoder's tests: a real LZW encoder (table growth to
// 12-bit codes, a clear code when the table is full, or none: the "deferred clear" that some
// encoders use), interlaced row order, colour tables and the transparent colour; and raw code
// streams for the files no encoder writes.
namespace slidevane::testing {

struct GifCode {
    unsigned value;
    unsigned width;
};

struct GifLayout {
    unsigned screenWidth = 1;
    unsigned screenHeight = 1;
    std::vector<std::uint32_t> globalColours; // 0xRRGGBB; none when empty
    unsigned background = 0;
    int transparent = -1; // a graphic control extension before the image when >= 0
    unsigned left = 0;
    unsigned top = 0;
    unsigned width = 1;
    unsigned height = 1;
    bool interlaced = false;
    std::vector<std::uint32_t> localColours;
    int codeSize = -1;                // -1: the least that holds every pixel value, at least 2
    std::vector<std::uint8_t> pixels; // width x height, top row first whatever the interlacing
    bool deferredClear = false;       // when the table is full, go on without a clear code
    bool endCode = true;              // close the stream with the end code
    std::vector<GifCode> rawCodes;    // when not empty, these codes instead of the encoder's
    std::string extraImages;          // blocks written after the image, before the trailer
};

class GifBytes {
public:
    static std::string Write(const GifLayout& layout);
    // The codes the encoder writes for `pixels` in stream order.
    static std::vector<GifCode> Encode(const std::vector<std::uint8_t>& pixels, unsigned codeSize,
                                       bool deferredClear, bool endCode);
    // An image descriptor and its data (no colour table), for extra images.
    static std::string ImageBlock(unsigned width, unsigned height,
                                  const std::vector<GifCode>& codes, unsigned codeSize);
    static std::string SubBlocks(const std::vector<GifCode>& codes);
    // Rows of `pixels` reordered as an interlaced image stores them.
    static std::vector<std::uint8_t> Interlace(const std::vector<std::uint8_t>& pixels,
                                               unsigned width, unsigned height);
};

} // namespace slidevane::testing
