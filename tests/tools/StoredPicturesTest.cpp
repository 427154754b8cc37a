// The pictures the program carries must match the window's look exactly where the look names
// colours, since controls are laid over the background at fixed pixel positions.
#include "GifImage.h"
#include "IconDirectory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace slidevane {
namespace {

const std::filesystem::path Assets = SLIDEVANE3_ASSETS_DIR;

using C = GifImage::Colour;
const C Black{0, 0, 0};
const C FrameOuter{0, 173, 255};
const C FrameInner{41, 103, 169};
const C GlyphGrey{175, 175, 175};
const C Body{174, 188, 203};
const C RuleDark{145, 156, 170};
const C RuleLight{198, 207, 218};
const C Panel{19, 62, 105};
const C Rim{13, 42, 71};
const C BottomBar{20, 64, 109};

#define EXPECT_PIXEL(image, x, y, colour)                                                          \
    EXPECT_EQ((image).At(x, y), colour)                                                            \
        << "at (" << (x) << ", " << (y) << ") found " << ToString((image).At(x, y))

class BackgroundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { background = new GifImage(Assets / "background.gif"); }
    static void TearDownTestSuite() { delete background; }
    static GifImage* background;
};
GifImage* BackgroundTest::background = nullptr;

TEST_F(BackgroundTest, IsOnePixelWiderAndTwoTallerThanTheWindow) {
    EXPECT_EQ(background->Width(), 419);
    EXPECT_EQ(background->Height(), 290);
}

TEST_F(BackgroundTest, OutlineAndFrameRunRoundEverySide) {
    const GifImage& g = *background;
    for (int d : {0, 1}) {
        EXPECT_PIXEL(g, d, 150, Black);
        EXPECT_PIXEL(g, 418 - d, 150, Black);
        EXPECT_PIXEL(g, 200, d, Black);
        EXPECT_PIXEL(g, 200, 289 - d, Black);
    }
    EXPECT_PIXEL(g, 2, 150, FrameOuter);
    EXPECT_PIXEL(g, 416, 150, FrameOuter);
    EXPECT_PIXEL(g, 200, 2, FrameOuter);
    EXPECT_PIXEL(g, 200, 287, FrameOuter);
    EXPECT_PIXEL(g, 6, 150, FrameInner);
    EXPECT_PIXEL(g, 412, 150, FrameInner);
    EXPECT_PIXEL(g, 200, 6, FrameInner);
    EXPECT_PIXEL(g, 200, 283, FrameInner);
    // Corners belong to the ring of the nearer edge, so the frame closes without gaps.
    EXPECT_PIXEL(g, 2, 2, FrameOuter);
    EXPECT_PIXEL(g, 6, 6, FrameInner);
}

TEST_F(BackgroundTest, TitleBarCarriesTwoGreyGlyphBoxes) {
    const GifImage& g = *background;
    EXPECT_PIXEL(g, 250, 7, Black);
    EXPECT_PIXEL(g, 250, 28, Black);
    for (int left : {369, 388}) {
        for (int i = 0; i < 15; ++i) {
            EXPECT_PIXEL(g, left + i, 11, GlyphGrey);
            EXPECT_PIXEL(g, left + i, 25, GlyphGrey);
            EXPECT_PIXEL(g, left, 11 + i, GlyphGrey);
            EXPECT_PIXEL(g, left + 14, 11 + i, GlyphGrey);
        }
        EXPECT_PIXEL(g, left + 7, 18, Black); // outline, not a filled square
        EXPECT_PIXEL(g, left - 1, 18, Black);
        EXPECT_PIXEL(g, left + 15, 18, Black);
    }
}

TEST_F(BackgroundTest, ElevenStripRulesWithALightRowUnderEach) {
    const GifImage& g = *background;
    for (int row = 53; row <= 243; row += 19) {
        for (int x : {19, 60, 103}) {
            EXPECT_PIXEL(g, x, row, RuleDark);
            EXPECT_PIXEL(g, x, row + 1, RuleLight);
        }
        EXPECT_PIXEL(g, 18, row, Body);
        EXPECT_PIXEL(g, 104, row, Body);
    }
    EXPECT_PIXEL(g, 60, 52, Body);
    EXPECT_PIXEL(g, 60, 245, Body);
}

TEST_F(BackgroundTest, PanelsHaveRimsAndRoundedCorners) {
    const GifImage& g = *background;
    struct Box {
        int left, top, right, bottom;
    };
    for (Box b : {Box{110, 54, 195, 241}, Box{205, 55, 394, 242}}) {
        const int cx = (b.left + b.right) / 2;
        const int cy = (b.top + b.bottom) / 2;
        EXPECT_PIXEL(g, cx, cy, Panel);
        EXPECT_PIXEL(g, b.left + 1, cy, Panel);
        EXPECT_PIXEL(g, b.left, cy, Rim);
        EXPECT_PIXEL(g, b.right, cy, Rim);
        EXPECT_PIXEL(g, cx, b.top, Rim);
        EXPECT_PIXEL(g, cx, b.bottom, Rim);
        EXPECT_PIXEL(g, b.left - 1, cy, Body);
        EXPECT_PIXEL(g, b.right + 1, cy, Body);
        // Rounded: the exact corner pixels show the body.
        EXPECT_PIXEL(g, b.left, b.top, Body);
        EXPECT_PIXEL(g, b.right, b.bottom, Body);
    }
}

TEST_F(BackgroundTest, BodyGreyLineAndBottomBar) {
    const GifImage& g = *background;
    EXPECT_PIXEL(g, 300, 255, Body);
    EXPECT_PIXEL(g, 300, 30 + 20, Body);
    EXPECT_NE(g.At(7, 150), Body) << "left bevel missing";
    EXPECT_NE(g.At(200, 29), Body) << "top bevel missing";
    const C grey = g.At(200, 263);
    EXPECT_EQ(grey.r, grey.g);
    EXPECT_EQ(grey.g, grey.b);
    EXPECT_EQ(g.At(20, 263), grey);
    EXPECT_EQ(g.At(400, 263), grey);
    EXPECT_NE(grey, Body);
    for (int x : {7, 196, 411})
        for (int y : {264, 281})
            EXPECT_PIXEL(g, x, y, BottomBar);
}

TEST(ControlPictures, HaveTheirControlsSizes) {
    struct Expect {
        const char* name;
        int width, height;
    };
    std::vector<Expect> all{{"Dis1BackGnd.gif", 72, 48}, {"Dis2BackGnd.gif", 72, 48},
                            {"Dis3BackGnd.gif", 72, 48}, {"MainDisBackGnd.gif", 158, 121},
                            {"WWWBtn.gif", 184, 18},     {"Picture10.gif", 15, 15},
                            {"Picture9.gif", 15, 15}};
    std::vector<std::string> buttons;
    for (int i = 1; i <= 10; ++i)
        buttons.push_back("Button" + std::to_string(i) + ".gif");
    for (const auto& b : buttons)
        all.push_back({b.c_str(), 88, 17});
    for (const Expect& e : all) {
        const GifImage g(Assets / e.name);
        EXPECT_EQ(g.Width(), e.width) << e.name;
        EXPECT_EQ(g.Height(), e.height) << e.name;
    }
}

TEST(ControlPictures, ThumbnailsSitOnThePanelColourAndDiffer) {
    std::set<std::string> looks;
    for (const char* name :
         {"Dis1BackGnd.gif", "Dis2BackGnd.gif", "Dis3BackGnd.gif", "MainDisBackGnd.gif"}) {
        const GifImage g(Assets / name);
        EXPECT_PIXEL(g, 0, 0, Panel);
        EXPECT_PIXEL(g, g.Width() - 1, 0, Panel);
        if (std::string(name) != "MainDisBackGnd.gif")
            looks.insert(ToString(g.At(20, 30)) + ToString(g.At(40, 12)) + ToString(g.At(55, 38)));
    }
    EXPECT_EQ(looks.size(), 3u) << "the three thumbnails should show different slides";
}

TEST(ControlPictures, GlyphsAreCyanMarksOnStripes) {
    const GifImage minimize(Assets / "Picture10.gif");
    const GifImage close(Assets / "Picture9.gif");
    for (const GifImage* g : {&minimize, &close}) {
        EXPECT_NE(g->At(0, 0), g->At(0, 1)) << "background should be striped";
        EXPECT_EQ(g->At(0, 0), g->At(0, 2));
    }
    const C mark = minimize.At(7, 10);
    EXPECT_GT(mark.g, 200);
    EXPECT_GT(mark.b, 200);
    EXPECT_LT(mark.r, 60);
    EXPECT_NE(minimize.At(7, 7), mark) << "minimize is a low bar, not a cross";
    EXPECT_EQ(close.At(7, 7), mark) << "close crosses in the middle";
    EXPECT_EQ(close.At(3, 3), mark);
    EXPECT_EQ(close.At(11, 3), mark);
}

TEST(ControlPictures, WebButtonIsTextOnTheBottomBar) {
    const GifImage g(Assets / "WWWBtn.gif");
    EXPECT_PIXEL(g, 0, 0, BottomBar);
    EXPECT_PIXEL(g, 183, 17, BottomBar);
    int light = 0;
    for (int x = 0; x < g.Width(); ++x)
        for (int y = 0; y < g.Height(); ++y)
            light += g.At(x, y).r > 150;
    EXPECT_GT(light, 40) << "the address text is missing";
}

TEST(ControlPictures, StripButtonsAreAllDifferentWithRightAlignedLightText) {
    std::set<std::string> seen;
    std::set<int> rightEdges;
    std::set<int> leftEdges;
    for (int i = 1; i <= 10; ++i) {
        const GifImage g(Assets / ("Button" + std::to_string(i) + ".gif"));
        std::string signature;
        int left = g.Width();
        int right = -1;
        for (int y = 0; y < g.Height(); ++y) {
            for (int x = 0; x < g.Width(); ++x) {
                const C c = g.At(x, y);
                signature += ToString(c);
                if (y > 0 && c.r > 235 && c.g > 235 && c.b > 235) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        ASSERT_GE(right, 0) << "Button" << i << " has no light text";
        EXPECT_GT(right, 70) << "Button" << i;
        rightEdges.insert(right);
        leftEdges.insert(left);
        seen.insert(signature);
    }
    EXPECT_EQ(seen.size(), 10u);
    // Titles of different lengths end together and start apart.
    EXPECT_LE(*rightEdges.rbegin() - *rightEdges.begin(), 2);
    EXPECT_GE(leftEdges.size(), 5u);
}

TEST(Icon, HoldsSixteenAndThirtyTwoPixelSixteenColourImages) {
    const IconDirectory icon(Assets / "slidevane3.ico");
    EXPECT_EQ(icon.Type(), 1);
    ASSERT_EQ(icon.Images().size(), 2u);
    std::set<int> sizes;
    for (const auto& image : icon.Images()) {
        EXPECT_EQ(image.width, image.height);
        EXPECT_EQ(image.colourCount, 16);
        EXPECT_EQ(image.field6, 4) << "bits per pixel in the directory";
        EXPECT_EQ(image.bitCount, 4);
        EXPECT_EQ(image.headerWidth, image.width);
        EXPECT_EQ(image.headerHeight, 2 * image.height) << "colour rows plus mask rows";
        const std::uint32_t rows = static_cast<std::uint32_t>(image.height);
        const std::uint32_t xorBytes = (image.width * 4 + 31) / 32 * 4 * rows;
        const std::uint32_t andBytes = (image.width + 31) / 32 * 4 * rows;
        EXPECT_EQ(image.size, 40 + 16 * 4 + xorBytes + andBytes);
        sizes.insert(image.width);
        // The page leaves the corner free and covers the middle.
        EXPECT_TRUE(icon.Transparent(&image - &icon.Images()[0], 0, 0));
        EXPECT_FALSE(
            icon.Transparent(&image - &icon.Images()[0], image.width / 2, image.height / 2));
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));
}

TEST(HandPointer, IsThirtyTwoPixelsWithTheHotSpotOnTheFingertip) {
    const IconDirectory pointer(Assets / "hand.cur");
    EXPECT_EQ(pointer.Type(), 2);
    ASSERT_EQ(pointer.Images().size(), 1u);
    const auto& image = pointer.Images()[0];
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 32);
    EXPECT_EQ(image.colourCount, 16);
    EXPECT_EQ(image.bitCount, 4);
    EXPECT_EQ(image.field4, 12);
    EXPECT_EQ(image.field6, 1);
    EXPECT_FALSE(pointer.Transparent(0, 12, 1)) << "the hot spot must be on the hand";
    EXPECT_TRUE(pointer.Transparent(0, 12, 0)) << "nothing above the fingertip";
    EXPECT_TRUE(pointer.Transparent(0, 0, 0));
}

} // namespace
} // namespace slidevane
