// The real program on a real X server: it shows the pack, follows the real pointer and ends from
// its close glyph with status 0.
#include "FixturePack.h"
#include "XvfbDisplay.h"
#include "adapters/qt/QtWindow.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

bool WaitFor(const std::function<bool()>& done) {
    return XvfbDisplay::WaitFor(done, 10000);
}

TEST(ProgramOnX, ShowsThePackFollowsThePointerAndClosesFromItsGlyph) {
    if (!XvfbDisplay::Available()) {
        GTEST_SKIP() << "Xvfb, xdotool or ImageMagick's import is not installed";
    }
    QtWindow layout; // the designed places, and the stored pictures to compare with
    QImage const background = QImageReader(QStringLiteral(":/slidevane3/background.gif")).read();
    FixturePack pack;
    XvfbDisplay display;
    ASSERT_TRUE(display.Started());

    UserProgram program(
        {SLIDEVANE3_PROGRAM},
        display.Environment().Set("SLIDEVANE3_REGISTRY", pack.RegistryFile().toStdString()));

    QRect const window = display.WindowNamed(QStringLiteral("^Slidevane$"), 10000);
    ASSERT_FALSE(window.isEmpty()) << "no window appeared; program said: " << program.Errors();
    QPoint const origin = window.topLeft();
    EXPECT_EQ(window.size(), QSize(418, 288));
    auto centre = [&](Control control) {
        return origin + layout.Widget(control).geometry().center();
    };
    auto colourAt = [&](QPoint at) { return display.Screenshot().pixelColor(at).rgb(); };

    QRgb const current = pack.ColourOf(FixturePack::StripName(2, 'c')).rgb();
    ASSERT_TRUE(WaitFor([&] { return colourAt(centre(Control::Button3)) == current; }))
        << "the current category's button never showed";
    QImage const screen = display.Screenshot();
    EXPECT_EQ(screen.pixelColor(origin + QPoint(108, 150)).rgb(), background.pixel(108, 150));
    EXPECT_EQ(screen.pixelColor(origin + QPoint(300, 240)).rgb(), background.pixel(300, 240));
    EXPECT_EQ(screen.pixelColor(centre(Control::MainDisBackGnd)).rgb(),
              pack.ColourOf(FixturePack::PreviewName(2, 'c', 4)).rgb());

    QPoint const overButton1 = centre(Control::Button1);
    display.XDoTool({QStringLiteral("mousemove"), QString::number(overButton1.x()),
                     QString::number(overButton1.y())});
    QRgb const lit = pack.ColourOf(FixturePack::StripName(0, 'b')).rgb();
    EXPECT_TRUE(WaitFor([&] { return colourAt(overButton1) == lit; }))
        << "the strip button under the pointer did not light";

    // A click on a category: the button current before keeps its current picture while the
    // pointer stays where it clicked.
    QPoint const overButton5 = centre(Control::Button5);
    display.XDoTool({QStringLiteral("mousemove"), QString::number(overButton5.x()),
                     QString::number(overButton5.y()), QStringLiteral("click"),
                     QStringLiteral("1")});
    QRgb const chosen = pack.ColourOf(FixturePack::StripName(4, 'c')).rgb();
    EXPECT_TRUE(WaitFor([&] { return colourAt(overButton5) == chosen; }))
        << "the clicked category did not become current";
    QThread::msleep(500);
    EXPECT_EQ(colourAt(centre(Control::Button3)), current)
        << "the previous current button lost its picture although the pointer did not move";

    // The other buttons leave the close glyph alone, singly or doubled.
    QPoint const close = centre(Control::Picture9);
    display.XDoTool({QStringLiteral("mousemove"), QString::number(close.x()),
                     QString::number(close.y()), QStringLiteral("click"), QStringLiteral("3"),
                     QStringLiteral("sleep"), QStringLiteral("0.7"), QStringLiteral("click"),
                     QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
                     QStringLiteral("80"), QStringLiteral("3")});
    EXPECT_FALSE(program.Wait(std::chrono::milliseconds(1500)))
        << "a right click ended the program";
    display.XDoTool({QStringLiteral("sleep"), QStringLiteral("0.7"), QStringLiteral("click"),
                     QStringLiteral("1")});
    std::optional<UserProgram::Outcome> const ended = program.Wait(std::chrono::seconds(10));
    ASSERT_TRUE(ended) << "the close glyph did not end the program";
    EXPECT_TRUE(ended->Succeeded()) << ended->Describe() << "; program said: " << program.Errors();
}

} // namespace
} // namespace slidevane::test
