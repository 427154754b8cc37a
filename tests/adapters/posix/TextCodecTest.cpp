#include "adapters/posix/TextCodec.h"

#include <gtest/gtest.h>

namespace slidevane {
namespace {

TEST(TextCodec, RecognisesOnlyWellFormedUtf8) {
    EXPECT_TRUE(TextCodec::isValidUtf8("caf\xC3\xA9 \xE2\x98\x83 \xF0\x9F\x98\x80"));
    EXPECT_TRUE(TextCodec::isValidUtf8("\xEF\xBF\xBD"));      // an encoded U+FFFD is still valid
    EXPECT_FALSE(TextCodec::isValidUtf8("caf\xE9"));          // Windows-1252
    EXPECT_FALSE(TextCodec::isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(TextCodec::isValidUtf8("\xED\xA0\x80"));     // encoded surrogate
    EXPECT_FALSE(TextCodec::isValidUtf8("\xE2\x98"));         // truncated
    EXPECT_FALSE(TextCodec::isValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
}

TEST(TextCodec, DecodesWindows1252IncludingItsHighPunctuation) {
    EXPECT_EQ(TextCodec::fromWindows1252("\x80\x85\x9F\xE9\x81"),
              u"\u20AC\u2026\u0178\u00E9\u0081");
    EXPECT_EQ(TextCodec::fromUtf8("a\xFF"
                                  "b"),
              u"a\uFFFDb");
}

TEST(TextCodec, NarrowsUnitByUnitWithQuestionMarksForWhatCannotBeSaid) {
    const std::u16string text = u"\u00E9\u20AC\U0001F600\xD800x";
    EXPECT_EQ(TextCodec::toNarrow(text, TextCodec::Narrow::Utf8),
              "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80?x");
    EXPECT_EQ(TextCodec::toNarrow(text, TextCodec::Narrow::Windows1252), "\xE9\x80??\x3Fx");
    EXPECT_EQ(TextCodec::toNarrow(u"\x0141", TextCodec::Narrow::Windows1252), "?");
}

TEST(TextCodec, Utf16leDropsAnOddLastByte) {
    EXPECT_EQ(TextCodec::fromUtf16le(std::string("A\0B", 3)), u"A");
    EXPECT_EQ(TextCodec::toUtf16le(u"\u20AC"), std::string("\xAC\x20", 2));
}

} // namespace
} // namespace slidevane
