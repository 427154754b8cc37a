#include "Quantiser.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

namespace slidevane {
namespace {

QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, (x * 7 + y) % 256, (y * 13) % 256));
    return image;
}

bool InPalette(const IndexedImage& image, Rgb c) {
    return std::find(image.palette.begin(), image.palette.end(), c) != image.palette.end();
}

TEST(Quantiser, FewColoursComeThroughExactly) {
    QImage image(4, 2, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(1, 2, 3), qRgb(250, 0, 0), qRgb(9, 9, 9), qRgb(1, 2, 4)};
    for (int x = 0; x < 4; ++x) {
        image.setPixel(x, 0, colours[x]);
        image.setPixel(x, 1, colours[3 - x]);
    }
    const IndexedImage out = Quantiser::Reduce(image, {});
    EXPECT_EQ(out.palette.size(), 4u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out.At(x, y).Key(), image.pixel(x, y) & 0xFFFFFF);
}

TEST(Quantiser, ManyColoursFitThePaletteAndKeepPinnedOnesExact) {
    QImage image = Gradient(300, 120);
    const Rgb pinA{0, 173, 255};
    const Rgb pinB{41, 103, 169};
    // A row of each pinned colour amid hundreds of near neighbours.
    for (int x = 0; x < image.width(); ++x) {
        image.setPixel(x, 10, qRgb(pinA.r, pinA.g, pinA.b));
        image.setPixel(x, 11, qRgb(pinB.r, pinB.g, pinB.b + (x % 2)));
    }
    for (int limit : {256, 64, 16}) {
        const IndexedImage out = Quantiser::Reduce(image, {pinA, pinB}, limit);
        EXPECT_LE(static_cast<int>(out.palette.size()), limit);
        EXPECT_TRUE(InPalette(out, pinA));
        EXPECT_TRUE(InPalette(out, pinB));
        for (int x = 0; x < image.width(); ++x) {
            ASSERT_EQ(out.At(x, 10), pinA) << "limit " << limit << " x " << x;
            if (x % 2 == 0) {
                ASSERT_EQ(out.At(x, 11), pinB) << "limit " << limit << " x " << x;
            }
        }
    }
}

TEST(Quantiser, ReducedColoursStayClose) {
    const QImage image = Gradient(256, 64);
    const IndexedImage out = Quantiser::Reduce(image, {}, 256);
    long worst = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const Rgb q = out.At(x, y);
            worst = std::max<long>(worst, std::abs(qRed(p) - q.r) + std::abs(qGreen(p) - q.g) +
                                              std::abs(qBlue(p) - q.b));
        }
    }
    EXPECT_LT(worst, 96);
}

TEST(Quantiser, RefusesMorePinsThanRoom) {
    std::vector<Rgb> pins;
    for (int i = 0; i < 17; ++i)
        pins.push_back(Rgb{static_cast<std::uint8_t>(i), 0, 0});
    EXPECT_THROW(Quantiser::Reduce(Gradient(8, 8), pins, 16), std::invalid_argument);
}

TEST(Quantiser, FixedPaletteMasksTransparentPixels) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(250, 250, 5, 255));
    image.setPixel(1, 0, qRgba(250, 250, 5, 10));
    std::vector<std::uint8_t> mask;
    const IndexedImage out =
        Quantiser::ToPalette(image, {Rgb{0, 0, 0}, Rgb{255, 255, 0}, Rgb{255, 255, 255}}, mask);
    ASSERT_EQ(mask.size(), 2u);
    EXPECT_EQ(mask[0], 0);
    EXPECT_EQ(mask[1], 1);
    EXPECT_EQ(out.At(0, 0), (Rgb{255, 255, 0}));
}

} // namespace
} // namespace slidevane
