// The pixels of a GIF's first image as a control shows them: every encoder shape decoded alike,
// only the corner the control shows, the screen's background and the transparent colour.
#include "shell/GifDecoder.h"

#include "GifBytes.h"

#include <gtest/gtest.h>
#include <random>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

constexpr std::uint32_t Opaque = 0xff000000u;

// What a decoder must give for `spec`, built the plain way: fill the screen, place the image.
std::vector<std::uint32_t> Expected(const GifSpec& spec, unsigned clipWidth, unsigned clipHeight) {
    unsigned const width = std::min(spec.screenWidth, clipWidth);
    unsigned const height = std::min(spec.screenHeight, clipHeight);
    auto const& colours = spec.localColours.empty() ? spec.globalColours : spec.localColours;
    auto colour = [&](unsigned index) -> std::uint32_t {
        if (static_cast<int>(index) == spec.transparent) {
            return 0;
        }
        return index < colours.size() ? Opaque | colours[index] : Opaque;
    };
    std::uint32_t const fill = spec.transparent >= 0 ? 0
                               : spec.background < spec.globalColours.size()
                                   ? Opaque | spec.globalColours[spec.background]
                                   : Opaque;
    std::vector<std::uint32_t> out(width * height, fill);
    for (unsigned y = 0; y < spec.height; ++y) {
        for (unsigned x = 0; x < spec.width; ++x) {
            if (spec.left + x < width && spec.top + y < height) {
                out[(spec.top + y) * width + spec.left + x] =
                    colour(spec.pixels[y * spec.width + x]);
            }
        }
    }
    return out;
}

void ExpectDecodes(const GifSpec& spec, const std::string& bytes, unsigned clipWidth,
                   unsigned clipHeight) {
    GifDecoder::Result const result =
        GifDecoder::Decode(bytes, static_cast<int>(clipWidth), static_cast<int>(clipHeight));
    ASSERT_EQ(result.verdict, GifStructure::Verdict::Whole);
    EXPECT_EQ(result.picture.width, static_cast<int>(std::min(spec.screenWidth, clipWidth)));
    EXPECT_EQ(result.picture.height, static_cast<int>(std::min(spec.screenHeight, clipHeight)));
    EXPECT_EQ(result.picture.transparent, spec.transparent >= 0);
    EXPECT_EQ(result.picture.pixels, Expected(spec, clipWidth, clipHeight));
}

TEST(GifDecoder, RandomPicturesDecodeWholeAndCutToAnyCorner) {
    std::mt19937 random(20240512);
    auto upTo = [&](unsigned most) { return static_cast<unsigned>(random() % most) + 1; };
    for (int round = 0; round < 300; ++round) {
        GifSpec spec;
        spec.width = upTo(round < 250 ? 40 : 300);
        spec.height = upTo(round < 250 ? 40 : 120);
        spec.left = random() % 3 == 0 ? upTo(5) : 0;
        spec.top = random() % 3 == 0 ? upTo(5) : 0;
        spec.screenWidth = spec.left + spec.width + (random() % 3 == 0 ? upTo(4) : 0);
        spec.screenHeight = spec.top + spec.height + (random() % 3 == 0 ? upTo(4) : 0);
        unsigned const depth = upTo(8);
        spec.globalColours.resize(1u << depth);
        for (auto& colour : spec.globalColours) {
            colour = random() & 0xffffff;
        }
        if (random() % 4 == 0) {
            spec.localColours = {0x102030, 0x405060, 0x708090};
        }
        spec.background = random() % 256; // often beyond a small table: black
        spec.transparent = random() % 3 == 0 ? static_cast<int>(random() % 4) : -1;
        spec.interlaced = random() % 2 == 0;
        spec.deferredClear = random() % 2 == 0;
        // Runs of a few colours compress into long strings; noise into short ones.
        unsigned const colours = random() % 2 == 0 ? 3 : (1u << depth);
        std::uint8_t run = 0;
        for (unsigned i = 0; i < spec.width * spec.height; ++i) {
            if (random() % 8 == 0) {
                run = static_cast<std::uint8_t>(random() % colours);
            }
            spec.pixels.push_back(run);
        }
        SCOPED_TRACE(::testing::Message() << "round " << round << ": " << spec.width << " x "
                                          << spec.height << (spec.interlaced ? " interlaced" : ""));
        std::string const bytes = GifBytes::Write(spec);
        ExpectDecodes(spec, bytes, 5000, 5000);
        ExpectDecodes(spec, bytes, upTo(spec.screenWidth), upTo(spec.screenHeight));
        ExpectDecodes(spec, bytes, 1, 1);
    }
}

TEST(GifDecoder, A4096SquareIsCutToTheControlsCorner) {
    // 16.7 million pixels in a few kilobytes: a solid picture with one dot in the corner and a
    // line far down, interlaced and not.
    for (bool interlaced : {false, true}) {
        GifSpec spec;
        spec.screenWidth = spec.width = 4096;
        spec.screenHeight = spec.height = 4096;
        spec.globalColours = {0x336699, 0xffcc00};
        spec.pixels.assign(4096u * 4096u, 0);
        spec.pixels[1 * 4096 + 2] = 1;
        std::fill_n(spec.pixels.begin() + 4000 * 4096, 4096, 1);
        spec.interlaced = interlaced;
        std::string const bytes = GifBytes::Write(spec);
        EXPECT_LT(bytes.size(), 20000u);
        GifDecoder::Result const result = GifDecoder::Decode(bytes, 88, 17);
        ASSERT_EQ(result.verdict, GifStructure::Verdict::Whole);
        EXPECT_EQ(result.picture.width, 88);
        EXPECT_EQ(result.picture.height, 17);
        EXPECT_EQ(result.picture.pixels, Expected(spec, 88, 17));
        EXPECT_EQ(result.picture.pixels[1 * 88 + 2], Opaque | 0xffcc00);
    }
}

TEST(GifDecoder, TheScreenOutsideTheImageShowsItsBackgroundOrNothing) {
    GifSpec spec;
    spec.screenWidth = 4;
    spec.screenHeight = 3;
    spec.globalColours = {0xff0000, 0x00ff00, 0x0000ff};
    spec.background = 1;
    spec.left = 1;
    spec.top = 1;
    spec.width = 2;
    spec.height = 1;
    spec.pixels = {2, 0};
    std::uint32_t const green = Opaque | 0x00ff00, blue = Opaque | 0x0000ff,
                        red = Opaque | 0xff0000;
    GifDecoder::Result result = GifDecoder::Decode(GifBytes::Write(spec), 10, 10);
    EXPECT_EQ(result.picture.pixels, (std::vector<std::uint32_t>{green, green, green, green, //
                                                                 green, blue, red, green,    //
                                                                 green, green, green, green}));
    EXPECT_FALSE(result.picture.transparent);

    spec.transparent = 0;
    result = GifDecoder::Decode(GifBytes::Write(spec), 10, 10);
    EXPECT_EQ(result.picture.pixels, (std::vector<std::uint32_t>{0, 0, 0, 0,    //
                                                                 0, blue, 0, 0, //
                                                                 0, 0, 0, 0}));
    EXPECT_TRUE(result.picture.transparent);
}

TEST(GifDecoder, NothingIsGivenForAFileThatIsNotWhole) {
    GifSpec spec;
    spec.globalColours = {0xffffff, 0};
    spec.pixels = {1};
    std::string const bytes = GifBytes::Write(spec);
    GifDecoder::Result const result = GifDecoder::Decode(bytes.substr(0, bytes.size() - 1), 5, 5);
    EXPECT_EQ(result.verdict, GifStructure::Verdict::Truncated);
    EXPECT_TRUE(result.picture.pixels.empty());
}

} // namespace
