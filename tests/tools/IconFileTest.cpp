#include "IconFile.h"

#include <gtest/gtest.h>

namespace slidevane {
namespace {

std::uint32_t Read(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + i);
    return v;
}

IndexedImage Blank(int size) {
    IndexedImage image;
    image.width = size;
    image.height = size;
    image.palette.assign(16, Rgb{});
    image.palette[5] = Rgb{10, 20, 30};
    image.pixels.assign(static_cast<std::size_t>(size) * size, 0);
    return image;
}

TEST(IconFile, PointerCarriesHotSpotAndStoresRowsBottomUp) {
    IndexedImage image = Blank(32);
    image.pixels[0] = 5;           // top-left
    image.pixels[31 * 32 + 1] = 5; // bottom row, second pixel
    std::vector<std::uint8_t> mask(32 * 32, 0);
    mask[31] = 1; // top-right transparent
    IconFile file(IconFile::Kind::Pointer);
    file.Add(image, mask, 12, 1);
    const auto b = file.Bytes();

    EXPECT_EQ(Read(b, 2, 2), 2u);
    EXPECT_EQ(Read(b, 4, 2), 1u);
    EXPECT_EQ(Read(b, 10, 2), 12u);
    EXPECT_EQ(Read(b, 12, 2), 1u);
    const std::size_t bitmap = Read(b, 18, 4);
    EXPECT_EQ(bitmap, 22u);
    EXPECT_EQ(Read(b, 14, 4), b.size() - bitmap);
    EXPECT_EQ(Read(b, bitmap + 8, 4), 64u) << "height counts colour and mask rows";
    EXPECT_EQ(Read(b, bitmap + 14, 2), 4u);
    // Palette entry 5 as blue, green, red, zero.
    EXPECT_EQ(b[bitmap + 40 + 5 * 4], 30);
    EXPECT_EQ(b[bitmap + 40 + 5 * 4 + 2], 10);

    const std::size_t pixels = bitmap + 40 + 64;
    EXPECT_EQ(b[pixels + 0], 0x05) << "bottom row first: its second pixel in the low nibble";
    EXPECT_EQ(b[pixels + 31 * 16], 0x50) << "top row last: first pixel in the high nibble";
    const std::size_t masks = pixels + 32 * 16;
    EXPECT_EQ(b[masks + 31 * 4 + 3], 0x01) << "top-right mask bit";
    EXPECT_EQ(b[masks + 0], 0x00);
}

TEST(IconFile, IconEntriesFollowEachOtherWithPaddedMasks) {
    IconFile file(IconFile::Kind::Icon);
    std::vector<std::uint8_t> mask16(16 * 16, 1);
    file.Add(Blank(16), mask16);
    file.Add(Blank(32), std::vector<std::uint8_t>(32 * 32, 0));
    const auto b = file.Bytes();
    EXPECT_EQ(Read(b, 4, 2), 2u);
    const std::uint32_t size16 = Read(b, 6 + 8, 4);
    const std::uint32_t offset16 = Read(b, 6 + 12, 4);
    const std::uint32_t offset32 = Read(b, 22 + 12, 4);
    // 16 px: 8 bytes of colour and 4 (padded) of mask per row.
    EXPECT_EQ(size16, 40u + 64u + 16u * 8u + 16u * 4u);
    EXPECT_EQ(offset32, offset16 + size16);
    EXPECT_EQ(Read(b, 6 + 4, 2), 1u) << "planes";
    EXPECT_EQ(Read(b, 6 + 6, 2), 4u) << "bits per pixel";
    // A fully masked 16 px row sets two bytes and leaves the padding clear.
    const std::size_t mask = offset16 + 40 + 64 + 16 * 8;
    EXPECT_EQ(b[mask], 0xFF);
    EXPECT_EQ(b[mask + 1], 0xFF);
    EXPECT_EQ(b[mask + 2], 0x00);
}

TEST(IconFile, RefusesPicturesItCannotStore) {
    IconFile file(IconFile::Kind::Icon);
    IndexedImage wide = Blank(16);
    wide.palette.resize(17);
    EXPECT_THROW(file.Add(wide, std::vector<std::uint8_t>(256, 0)), std::invalid_argument);
    EXPECT_THROW(file.Add(Blank(16), std::vector<std::uint8_t>(10, 0)), std::invalid_argument);
}

} // namespace
} // namespace slidevane
