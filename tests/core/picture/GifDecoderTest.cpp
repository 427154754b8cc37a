// The pixels of a GIF's first image as a control shows them: every encoder shape decoded alike,
// only the corner the control shows, the screen's background and the transparent colour.
#include "picture/GifDecoder.h"

#include "GifBytes.h"

#include <gtest/gtest.h>
#include <random>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

constexpr std::uint32_t Opaque = 0xff000000u;

// What a decoder must give for `layout`, built the plain way: fill the screen, place the image.
std::vector<std::uint32_t> Expected(const GifLayout& layout, unsigned clipWidth,
                                    unsigned clipHeight) {
    unsigned const width = std::min(layout.screenWidth, clipWidth);
    unsigned const height = std::min(layout.screenHeight, clipHeight);
    auto const& colours = layout.localColours.empty() ? layout.globalColours : layout.localColours;
    auto colour = [&](unsigned index) -> std::uint32_t {
        if (static_cast<int>(index) == layout.transparent) {
            return 0;
        }
        return index < colours.size() ? Opaque | colours[index] : Opaque;
    };
    std::uint32_t const fill = layout.transparent >= 0 ? 0
                               : layout.background < layout.globalColours.size()
                                   ? Opaque | layout.globalColours[layout.background]
                                   : Opaque;
    std::vector<std::uint32_t> out(width * height, fill);
    for (unsigned y = 0; y < layout.height; ++y) {
        for (unsigned x = 0; x < layout.width; ++x) {
            if (layout.left + x < width && layout.top + y < height) {
                out[(layout.top + y) * width + layout.left + x] =
                    colour(layout.pixels[y * layout.width + x]);
            }
        }
    }
    return out;
}

void ExpectDecodes(const GifLayout& layout, const std::string& bytes, unsigned clipWidth,
                   unsigned clipHeight) {
    GifDecoder::Result const result =
        GifDecoder::Decode(bytes, static_cast<int>(clipWidth), static_cast<int>(clipHeight));
    ASSERT_EQ(result.verdict, GifStructure::Verdict::Whole);
    EXPECT_EQ(result.picture.width, static_cast<int>(std::min(layout.screenWidth, clipWidth)));
    EXPECT_EQ(result.picture.height, static_cast<int>(std::min(layout.screenHeight, clipHeight)));
    EXPECT_EQ(result.picture.transparent, layout.transparent >= 0);
    EXPECT_EQ(result.picture.pixels, Expected(layout, clipWidth, clipHeight));
}

TEST(GifDecoder, RandomPicturesDecodeWholeAndCutToAnyCorner) {
    std::mt19937 random(20240512);
    auto upTo = [&](unsigned most) { return static_cast<unsigned>(random() % most) + 1; };
    for (int round = 0; round < 300; ++round) {
        GifLayout layout;
        layout.width = upTo(round < 250 ? 40 : 300);
        layout.height = upTo(round < 250 ? 40 : 120);
        layout.left = random() % 3 == 0 ? upTo(5) : 0;
        layout.top = random() % 3 == 0 ? upTo(5) : 0;
        layout.screenWidth = layout.left + layout.width + (random() % 3 == 0 ? upTo(4) : 0);
        layout.screenHeight = layout.top + layout.height + (random() % 3 == 0 ? upTo(4) : 0);
        unsigned const depth = upTo(8);
        layout.globalColours.resize(1u << depth);
        for (auto& colour : layout.globalColours) {
            colour = random() & 0xffffff;
        }
        if (random() % 4 == 0) {
            layout.localColours = {0x102030, 0x405060, 0x708090};
        }
        layout.background = random() % 256; // often beyond a small table: black
        layout.transparent = random() % 3 == 0 ? static_cast<int>(random() % 4) : -1;
        layout.interlaced = random() % 2 == 0;
        layout.deferredClear = random() % 2 == 0;
        // Runs of a few colours compress into long strings; noise into short ones.
        unsigned const colours = random() % 2 == 0 ? 3 : (1u << depth);
        std::uint8_t run = 0;
        for (unsigned i = 0; i < layout.width * layout.height; ++i) {
            if (random() % 8 == 0) {
                run = static_cast<std::uint8_t>(random() % colours);
            }
            layout.pixels.push_back(run);
        }
        SCOPED_TRACE(::testing::Message()
                     << "round " << round << ": " << layout.width << " x " << layout.height
                     << (layout.interlaced ? " interlaced" : ""));
        std::string const bytes = GifBytes::Write(layout);
        ExpectDecodes(layout, bytes, 5000, 5000);
        ExpectDecodes(layout, bytes, upTo(layout.screenWidth), upTo(layout.screenHeight));
        ExpectDecodes(layout, bytes, 1, 1);
    }
}

TEST(GifDecoder, A4096SquareIsCutToTheControlsCorner) {
    // 16.7 million pixels in a few kilobytes: a solid picture with one dot in the corner and a
    // line far down, interlaced and not.
    for (bool interlaced : {false, true}) {
        GifLayout layout;
        layout.screenWidth = layout.width = 4096;
        layout.screenHeight = layout.height = 4096;
        layout.globalColours = {0x336699, 0xffcc00};
        layout.pixels.assign(4096u * 4096u, 0);
        layout.pixels[1 * 4096 + 2] = 1;
        std::fill_n(layout.pixels.begin() + 4000 * 4096, 4096, 1);
        layout.interlaced = interlaced;
        std::string const bytes = GifBytes::Write(layout);
        EXPECT_LT(bytes.size(), 20000u);
        GifDecoder::Result const result = GifDecoder::Decode(bytes, 88, 17);
        ASSERT_EQ(result.verdict, GifStructure::Verdict::Whole);
        EXPECT_EQ(result.picture.width, 88);
        EXPECT_EQ(result.picture.height, 17);
        EXPECT_EQ(result.picture.pixels, Expected(layout, 88, 17));
        EXPECT_EQ(result.picture.pixels[1 * 88 + 2], Opaque | 0xffcc00);
    }
}

TEST(GifDecoder, TheScreenOutsideTheImageShowsItsBackgroundOrNothing) {
    GifLayout layout;
    layout.screenWidth = 4;
    layout.screenHeight = 3;
    layout.globalColours = {0xff0000, 0x00ff00, 0x0000ff};
    layout.background = 1;
    layout.left = 1;
    layout.top = 1;
    layout.width = 2;
    layout.height = 1;
    layout.pixels = {2, 0};
    std::uint32_t const green = Opaque | 0x00ff00, blue = Opaque | 0x0000ff,
                        red = Opaque | 0xff0000;
    GifDecoder::Result result = GifDecoder::Decode(GifBytes::Write(layout), 10, 10);
    EXPECT_EQ(result.picture.pixels, (std::vector<std::uint32_t>{green, green, green, green, //
                                                                 green, blue, red, green,    //
                                                                 green, green, green, green}));
    EXPECT_FALSE(result.picture.transparent);

    layout.transparent = 0;
    result = GifDecoder::Decode(GifBytes::Write(layout), 10, 10);
    EXPECT_EQ(result.picture.pixels, (std::vector<std::uint32_t>{0, 0, 0, 0,    //
                                                                 0, blue, 0, 0, //
                                                                 0, 0, 0, 0}));
    EXPECT_TRUE(result.picture.transparent);
}

TEST(GifDecoder, NothingIsGivenForAFileThatIsNotWhole) {
    GifLayout layout;
    layout.globalColours = {0xffffff, 0};
    layout.pixels = {1};
    std::string const bytes = GifBytes::Write(layout);
    GifDecoder::Result const result = GifDecoder::Decode(bytes.substr(0, bytes.size() - 1), 5, 5);
    EXPECT_EQ(result.verdict, GifStructure::Verdict::Truncated);
    EXPECT_TRUE(result.picture.pixels.empty());
}

} // namespace
