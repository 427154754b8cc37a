// Start-up on a display of 120 dots per inch (12 twips per pixel). The platform is chosen when
// the application starts, so this runs as its own executable on an offscreen screen configured
// for that density.
#include "BrowserUnderTest.h"
#include "PixelProbe.h"
#include "platform/LayoutTable.h"

#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

constexpr int Dpi = 120;

QRect DesignedPixels(Control control) {
    ControlLayout const& layout = LayoutTable::Of(control);
    return {qRound(layout.left / 15), qRound(layout.top / 15), qRound(layout.width / 15),
            qRound(layout.height / 15)};
}

TEST(Density, TheScreenIsDenserWithoutWholeFactorScaling) {
    QtWindow window;
    ASSERT_EQ(window.logicalDpiY(), Dpi) << "QT_QPA_PLATFORM must name the 120-dpi config file";
    EXPECT_EQ(window.devicePixelRatio(), 1.0) << "the rounding policy keeps pictures unscaled";
}

TEST(Density, BeforeStartUpTheLayoutMeasuresInTheDensersPixels) {
    QtWindow window;
    EXPECT_FLOAT_EQ(window.TwipsPerPixel(), 12.0f);
    EXPECT_FLOAT_EQ(window.ScaleHeight(), 360.0f);
    EXPECT_FLOAT_EQ(window.ControlProperty(Control::Button1, Property::Left), 20.0f);
    EXPECT_NEAR(window.ControlProperty(Control::Button8, Property::Top), 234.1667f, 0.001f);
    EXPECT_EQ(window.size(), QSize(523, 360)) << "522.5 x 360, rounded onto the screen";
}

TEST(Density, StartUpBringsTheWindowAndEveryControlBackToTheirDesignedPixels) {
    FixturePack pack;
    BrowserUnderTest browser(pack);
    ASSERT_TRUE(browser.Start());
    EXPECT_FLOAT_EQ(browser.window.FormWidth(), 5016.0f);
    EXPECT_FLOAT_EQ(browser.window.FormHeight(), 3456.0f);
    EXPECT_EQ(browser.window.size(), QSize(418, 288));
    for (Control control : AllControls) {
        EXPECT_EQ(browser.window.Widget(control).geometry(), DesignedPixels(control))
            << ControlName(control);
    }
    EXPECT_NEAR(browser.window.ControlProperty(Control::Button8, Property::Top), 187.333f, 0.001f);
    // The pictures are drawn 1:1: the current strip button is exactly its file's colour.
    PixelProbe const probe(browser.window);
    EXPECT_EQ(probe.Image().size(), QSize(418, 288));
    EXPECT_TRUE(probe.Uniform(browser.window.Widget(Control::Button3).geometry(),
                              pack.ColourOf(FixturePack::StripName(2, 'c'))));
    EXPECT_TRUE(probe.Uniform(browser.window.Widget(Control::MainDisBackGnd).geometry(),
                              pack.ColourOf(FixturePack::PreviewName(2, 'c', 4))));
}

} // namespace
} // namespace slidevane::test
