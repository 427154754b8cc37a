// What is a whole GIF: the verdict for every way a file can fall short, and the encoders' habits
// that are still whole pictures.
#include "picture/GifStructure.h"

#include "GifBytes.h"

#include <functional>
#include <gtest/gtest.h>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

using Verdict = GifStructure::Verdict;

Verdict Check(const std::string& bytes) {
    return GifStructure::Check(bytes, GifStructure::MaxSide);
}

// A 6 x 5 picture of four colours whose codes grow past the first code width.
GifLayout Small() {
    GifLayout layout;
    layout.screenWidth = layout.width = 6;
    layout.screenHeight = layout.height = 5;
    layout.globalColours = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff};
    for (unsigned i = 0; i < 30; ++i) {
        layout.pixels.push_back(static_cast<std::uint8_t>((i * 7 + i / 6) % 4));
    }
    return layout;
}

// Codes of `layout`'s pixels as the encoder writes them, with `change` applied.
GifLayout WithCodes(GifLayout layout, const std::function<void(std::vector<GifCode>&)>& change) {
    layout.rawCodes = GifBytes::Encode(layout.pixels, 2, false, true);
    change(layout.rawCodes);
    return layout;
}

TEST(GifStructure, EncodersHabitsAreWholePictures) {
    EXPECT_EQ(Check(GifBytes::Write(Small())), Verdict::Whole);
    GifLayout noEnd = Small();
    noEnd.endCode = false;
    EXPECT_EQ(Check(GifBytes::Write(noEnd)), Verdict::Whole) << "no end code after the last pixel";
    EXPECT_EQ(
        Check(GifBytes::Write(WithCodes(Small(), [](auto& codes) { codes.erase(codes.begin()); }))),
        Verdict::Whole)
        << "no clear code first";
    EXPECT_EQ(Check(GifBytes::Write(WithCodes(Small(),
                                              [](auto& codes) {
                                                  // After the last pixel: a code beyond the table,
                                                  // then another end code.
                                                  codes.insert(codes.end() - 1, {{31, 5}, {5, 5}});
                                              }))),
              Verdict::Whole)
        << "data after the last pixel is not read";
    std::string old = GifBytes::Write(Small());
    old.replace(0, 6, "GIF87a");
    EXPECT_EQ(Check(old), Verdict::Whole);
}

TEST(GifStructure, AFullTableWithOrWithoutAClearCodeIsWhole) {
    // 300 x 300 of 256 colours in an order that fills the 4096-entry table many times over.
    for (bool deferred : {false, true}) {
        GifLayout layout;
        layout.screenWidth = layout.width = 300;
        layout.screenHeight = layout.height = 300;
        layout.globalColours.assign(256, 0x123456);
        for (unsigned i = 0; i < 300 * 300; ++i) {
            layout.pixels.push_back(static_cast<std::uint8_t>((i * 2654435761u) >> 24));
        }
        layout.deferredClear = deferred;
        EXPECT_EQ(Check(GifBytes::Write(layout)), Verdict::Whole) << "deferred " << deferred;
    }
}

TEST(GifStructure, OtherFormatsAndEmptyFilesAreNoGif) {
    EXPECT_EQ(Check(""), Verdict::NotGif);
    EXPECT_EQ(Check("GIF8"), Verdict::NotGif);
    EXPECT_EQ(Check("\x89PNG\r\n\x1a\n"), Verdict::NotGif);
    EXPECT_EQ(Check("This is not a picture.\n"), Verdict::NotGif);
}

TEST(GifStructure, EveryCutIsTruncated) {
    std::string const whole = GifBytes::Write(Small());
    // Every prefix but the whole: the header, the table, the descriptor, the data, the trailer.
    for (std::size_t length = 6; length < whole.size(); ++length) {
        EXPECT_EQ(Check(whole.substr(0, length)), Verdict::Truncated) << "first " << length;
    }
}

TEST(GifStructure, CodesThatEndBeforeTheLastPixelAreTruncated) {
    // Sub-blocks and trailer are all there, but the pixels are not.
    EXPECT_EQ(Check(GifBytes::Write(WithCodes(Small(),
                                              [](auto& codes) {
                                                  codes.erase(codes.end() - 3,
                                                              codes.end() -
                                                                  1); // the end code comes early
                                              }))),
              Verdict::Truncated);
    EXPECT_EQ(Check(GifBytes::Write(WithCodes(Small(),
                                              [](auto& codes) {
                                                  codes.erase(codes.end() - 3,
                                                              codes.end()); // the data simply stops
                                              }))),
              Verdict::Truncated);
    GifLayout noData = Small();
    noData.rawCodes = {{4, 3}, {5, 3}};
    EXPECT_EQ(Check(GifBytes::Write(noData)), Verdict::Truncated);
}

TEST(GifStructure, CodesNoEncoderWritesAreDamaged) {
    // A code beyond the table: after a clear and one literal the next entry would be 6.
    GifLayout beyond = Small();
    beyond.rawCodes = {{4, 3}, {1, 3}, {7, 3}, {1, 3}};
    EXPECT_EQ(Check(GifBytes::Write(beyond)), Verdict::Damaged);
    // The first code after a clear must be a literal: here the entry it would be.
    GifLayout first = Small();
    first.rawCodes = {{4, 3}, {6, 3}, {1, 3}};
    EXPECT_EQ(Check(GifBytes::Write(first)), Verdict::Damaged);
    // Pixels deeper than a byte, and code sizes too narrow for the table's first entry.
    for (int codeSize : {0, 1, 9, 12}) {
        GifLayout deep = Small();
        deep.codeSize = codeSize;
        deep.rawCodes = {{1, 3}};
        EXPECT_EQ(Check(GifBytes::Write(deep)), Verdict::Damaged) << "code size " << codeSize;
    }
}

TEST(GifStructure, ADamagedLaterFrameSpoilsTheFile) {
    GifLayout layout = Small();
    layout.extraImages = GifBytes::ImageBlock(2, 2, {{4, 3}, {1, 3}, {7, 3}}, 2);
    EXPECT_EQ(Check(GifBytes::Write(layout)), Verdict::Damaged);
    layout.extraImages =
        GifBytes::ImageBlock(2, 2, GifBytes::Encode({1, 2, 3, 0}, 2, false, true), 2);
    EXPECT_EQ(Check(GifBytes::Write(layout)), Verdict::Whole);
}

TEST(GifStructure, BlocksAndSizesOutsideTheRulesAreRefused) {
    std::string unknown = GifBytes::Write(Small());
    unknown.insert(unknown.size() - 1, "\x07");
    EXPECT_EQ(Check(unknown), Verdict::Damaged) << "an unknown block";

    GifLayout zero = Small();
    zero.screenWidth = 0;
    EXPECT_EQ(Check(GifBytes::Write(zero)), Verdict::Damaged);
    GifLayout wide = Small();
    wide.screenWidth = GifStructure::MaxSide + 1;
    EXPECT_EQ(Check(GifBytes::Write(wide)), Verdict::TooLarge);
    GifLayout tall = Small();
    tall.height = 65535; // in the image only; its codes are never reached
    EXPECT_EQ(Check(GifBytes::Write(tall)), Verdict::TooLarge);

    std::string const noImage = GifBytes::Write(Small());
    std::string const header = noImage.substr(0, 13 + 12);
    EXPECT_EQ(Check(header + ";"), Verdict::NoImage);
}

} // namespace
