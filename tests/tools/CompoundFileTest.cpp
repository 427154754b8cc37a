#include "CompoundFile.h"

#include <gtest/gtest.h>

namespace slidevane {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t size, int seed) {
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>((i * 31 + seed * 7) ^ (i >> 8));
    return data;
}

TEST(CompoundFile, RoundTripsStreamsEitherSideOfTheMiniCutoff) {
    CompoundFile file;
    file.rootClass[0] = 0x10;
    file.rootClass[15] = 0xE8;
    // Empty, tiny, just under and at the 4096-byte cutoff, and spanning many sectors.
    const std::vector<std::pair<std::u16string, std::size_t>> streams{
        {u"Empty", 0},      {u"Current User", 44},           {u"\x05SummaryInformation", 4095},
        {u"Exactly", 4096}, {u"PowerPoint Document", 70000}, {u"Pictures", 65}};
    int seed = 0;
    for (const auto& [name, size] : streams)
        file.Add(name, Pattern(size, ++seed));

    const std::vector<std::uint8_t> bytes = file.Serialise();
    EXPECT_EQ(bytes.size() % 512, 0u);
    const CompoundFile back = CompoundFile::Parse(bytes);
    EXPECT_EQ(back.rootClass, file.rootClass);
    ASSERT_EQ(back.Streams().size(), streams.size());
    seed = 0;
    for (const auto& [name, size] : streams) {
        ++seed;
        const auto it = std::find_if(back.Streams().begin(), back.Streams().end(),
                                     [&](const CompoundFile::Stream& s) { return s.name == name; });
        ASSERT_NE(it, back.Streams().end());
        EXPECT_EQ(it->data, Pattern(size, seed)) << "stream of " << size << " bytes";
    }
}

TEST(CompoundFile, RemovingTheBigStreamShrinksTheFile) {
    CompoundFile file;
    file.Add(u"Keep", Pattern(9000, 1));
    file.Add(u"Preview", Pattern(600000, 2));
    const std::size_t before = file.Serialise().size();
    EXPECT_TRUE(file.Remove(u"Preview"));
    EXPECT_FALSE(file.Remove(u"Preview"));
    const std::vector<std::uint8_t> bytes = file.Serialise();
    EXPECT_LT(bytes.size(), before - 590000);
    const CompoundFile back = CompoundFile::Parse(bytes);
    ASSERT_EQ(back.Streams().size(), 1u);
    EXPECT_EQ(back.Streams()[0].data, Pattern(9000, 1));
}

TEST(CompoundFile, RejectsWhatIsNotACompoundFile) {
    EXPECT_THROW(CompoundFile::Parse(std::vector<std::uint8_t>(100, 0)), std::runtime_error);
    EXPECT_THROW(CompoundFile::Parse(std::vector<std::uint8_t>(2048, 0xD0)), std::runtime_error);
    CompoundFile file;
    file.Add(u"Data", Pattern(5000, 3));
    std::vector<std::uint8_t> bytes = file.Serialise();
    bytes.resize(1024); // sectors cut off
    EXPECT_THROW(CompoundFile::Parse(bytes), std::runtime_error);
}

TEST(CompoundFile, RefusesNamesTheFormatCannotHold) {
    CompoundFile file;
    EXPECT_THROW(file.Add(u"", {}), std::invalid_argument);
    EXPECT_THROW(file.Add(std::u16string(32, u'x'), {}), std::invalid_argument);
}

} // namespace
} // namespace slidevane
