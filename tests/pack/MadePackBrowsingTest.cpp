// The program browses the pack slidevane3-pack made: the window as main wires it, on the pack's
// own registry file, through every category and thumbnail with real pointer input; and the real
// program on a private X server, whose pictures must match the pack's files pixel for pixel.
#include "BrowserUnderTest.h"
#include "MadeSource.h"
#include "ModalBoxWatcher.h"
#include "PackScene.h"
#include "PixelProbe.h"
#include "Pointer.h"
#include "XvfbDisplay.h"
#include "adapters/qt/QtWindow.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;

fs::path Folder() {
    char const* folder = std::getenv("SLIDEVANE3_MADE_PACK");
    return folder != nullptr ? fs::path(folder) : fs::path();
}

class BrowsingTheMadePack : public ::testing::Test {
protected:
    BrowsingTheMadePack() : scene(Folder()) {
        for (const MadeSource::Category& category : MadeSource::Layout("unused", "unused")) {
            titles.push_back(category.title);
            counts.push_back(static_cast<int>(category.templates.size()));
        }
        while (titles.size() < 10) {
            titles.emplace_back();
            counts.push_back(0);
        }
    }

    // The pack's registry file, and one that records the presentation application.
    std::vector<fs::path> RegistryFiles() const {
        fs::path const office = fs::path(records.path().toStdString()) / "office.reg";
        std::ofstream(office) << "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\9.0\\"
                                 "PowerPoint\\InstallRoot]\r\n\"Path\"=\"C:\\\\Office\\\\\"\r\n";
        return {scene.DefaultRegistry(), office};
    }
    std::string Ui(const std::string& name) const { return (scene.Dest() / "UI" / name).string(); }
    std::string Strip(int category, char look) const {
        return Ui("b_" + titles[category] + "-" + look + ".gif");
    }
    std::string Preview(int category, char look, int number) const {
        return Ui("p_" + titles[category] + "-" + look + std::to_string(number + 3) + ".gif");
    }
    // The pane as the program shows it with thumbnail `selected` chosen in `category`.
    std::vector<std::string> Pane(int category, int selected) const {
        std::vector<std::string> pane;
        for (int number = 1; number <= 3; ++number) {
            bool const lit = number == selected && number <= counts[category];
            pane.push_back(Preview(category, lit ? 'b' : 'a', number));
        }
        pane.push_back(Preview(category, 'c', selected));
        return pane;
    }

    PackScene scene;
    QTemporaryDir records;
    std::vector<std::string> titles;
    std::vector<int> counts;
};

TEST_F(BrowsingTheMadePack, EveryCategoryAndThumbnailShowsThePacksPictures) {
    ASSERT_FALSE(Folder().empty()) << "SLIDEVANE3_MADE_PACK names no made pack";
    BrowserUnderTest browser(RegistryFiles());
    ModalBoxWatcher startUp; // a report at start-up is answered, not waited on
    ASSERT_TRUE(browser.Start()) << "start-up failed on the made pack";
    Pointer pointer(browser.window);
    auto shows = [&](Control control) { return browser.window.LoadedFile(control).toStdString(); };
    auto pane = [&] {
        return std::vector<std::string>{shows(Control::Dis1BackGnd), shows(Control::Dis2BackGnd),
                                        shows(Control::Dis3BackGnd),
                                        shows(Control::MainDisBackGnd)};
    };
    auto centre = [&](Control control) {
        return browser.window.Widget(control).geometry().center();
    };
    EXPECT_EQ(shows(Control::Button3), Strip(2, 'c'));
    EXPECT_EQ(pane(), Pane(2, 1));

    Control const thumbnails[] = {Control::Dis1BackGnd, Control::Dis2BackGnd, Control::Dis3BackGnd};
    for (int category = 0; category < 10; ++category) {
        Control const button = StripButton(category);
        pointer.MoveTo(centre(button));
        EXPECT_EQ(shows(button), Strip(category, 'b')) << category;
        pointer.Click(centre(button));
        EXPECT_EQ(shows(button), Strip(category, 'c')) << category;
        for (int number = 1; number <= 3; ++number) {
            pointer.MoveTo(centre(thumbnails[number - 1]));
            EXPECT_EQ(pane(), Pane(category, number)) << category << "/" << number;
        }
        ASSERT_FALSE(browser.form.Ended())
            << "the program reported an error in category " << category;
        // What is on the screen is the pack's file, to the pixel.
        PixelProbe const probe(browser.window);
        EXPECT_TRUE(probe.Shows(browser.window.Widget(Control::MainDisBackGnd).geometry(),
                                QImage(QString::fromStdString(Preview(category, 'c', 3)))))
            << category;
        EXPECT_TRUE(probe.Shows(browser.window.Widget(button).geometry(),
                                QImage(QString::fromStdString(Strip(category, 'c')))))
            << category;
    }
    pointer.MoveTo(centre(Control::WWWBtn));
    EXPECT_EQ(shows(Control::WWWBtn), Ui("www-2.gif"));
    pointer.MoveTo(centre(Control::Button1));
    EXPECT_EQ(shows(Control::WWWBtn), Ui("www-1.gif"));
    EXPECT_FALSE(browser.form.Ended());
}

TEST_F(BrowsingTheMadePack, ADoubleClickOpensTheTemplatesCopyInThePack) {
    ASSERT_FALSE(Folder().empty());
    BrowserUnderTest browser(RegistryFiles());
    {
        ModalBoxWatcher startUp;
        ASSERT_TRUE(browser.Start());
    }
    Pointer pointer(browser.window);
    auto centre = [&](Control control) {
        return browser.window.Widget(control).geometry().center();
    };
    pointer.Click(centre(Control::Button1));
    pointer.MoveTo(centre(Control::Dis2BackGnd));
    browser.automation.calls.clear();
    pointer.DoubleClick(centre(Control::Dis2BackGnd));
    std::string const path = scene.Dest().string() + "\\TEMPLATE\\0-2.potx";
    EXPECT_NE(std::find(browser.automation.calls.begin(), browser.automation.calls.end(),
                        "ApplyTemplate " + path),
              browser.automation.calls.end())
        << "the calls made: " << ::testing::PrintToString(browser.automation.calls);

    // An unused category holds no template: the purchase message, as for any absent one.
    pointer.Click(centre(Control::Button8));
    browser.automation.calls.clear();
    ModalBoxWatcher watcher;
    pointer.DoubleClick(centre(Control::MainDisBackGnd));
    EXPECT_TRUE(browser.automation.calls.empty());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(watcher.Seen()[0].text.startsWith("To purchase information,please visit "));
    EXPECT_FALSE(browser.form.Ended());
}

// The screen at `topLeft` shows `picture` pixel for pixel.
bool ScreenShows(const QImage& screen, QPoint topLeft, const QImage& picture) {
    if (picture.isNull()) {
        return false;
    }
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (screen.pixel(topLeft + QPoint(x, y)) != picture.pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(BrowsingTheMadePack, TheRealProgramFindsThePicturesOfEveryTitle) {
    ASSERT_FALSE(Folder().empty());
    if (!XvfbDisplay::Available()) {
        GTEST_SKIP() << "Xvfb, xdotool or ImageMagick's import is not installed";
    }
    QtWindow layout; // the designed places
    XvfbDisplay display;
    ASSERT_TRUE(display.Started());
    UserProgram program(
        {SLIDEVANE3_PROGRAM},
        display.Environment().Set("SLIDEVANE3_REGISTRY", scene.DefaultRegistry().string()));
    QRect const window = display.WindowNamed(QStringLiteral("^Slidevane$"), 10000);
    ASSERT_FALSE(window.isEmpty()) << program.Errors();
    auto at = [&](Control control) {
        return window.topLeft() + layout.Widget(control).geometry().topLeft();
    };
    auto showing = [&](Control control, const std::string& file) {
        QImage const picture(QString::fromStdString(file));
        return XvfbDisplay::WaitFor(
            [&] { return ScreenShows(display.Screenshot(), at(control), picture); }, 10000);
    };
    auto move = [&](Control control, bool click) {
        QPoint const centre = at(control) + QPoint(5, 5);
        QStringList arguments{QStringLiteral("mousemove"), QString::number(centre.x()),
                              QString::number(centre.y())};
        if (click) {
            arguments << QStringLiteral("click") << QStringLiteral("1");
        }
        display.XDoTool(arguments);
    };

    EXPECT_TRUE(showing(Control::Button3, Strip(2, 'c'))) << "the quoted title's current button";
    EXPECT_TRUE(showing(Control::MainDisBackGnd, Preview(2, 'c', 1)));
    move(Control::Button1, false);
    EXPECT_TRUE(showing(Control::Button1, Strip(0, 'b'))) << "the accented title's hover button";
    EXPECT_TRUE(showing(Control::Button10, Strip(9, 'a'))) << "an unused category's button";
    move(Control::Button1, true);
    EXPECT_TRUE(showing(Control::Button1, Strip(0, 'c')));
    EXPECT_TRUE(showing(Control::Dis1BackGnd, Preview(0, 'b', 1)));
    EXPECT_TRUE(showing(Control::MainDisBackGnd, Preview(0, 'c', 1)));
    move(Control::Dis3BackGnd, false);
    EXPECT_TRUE(showing(Control::MainDisBackGnd, Preview(0, 'c', 3))) << "not installed";

    move(Control::Picture9, true);
    std::optional<UserProgram::Outcome> const ended = program.Wait(std::chrono::seconds(10));
    ASSERT_TRUE(ended) << "the close glyph did not end the program";
    EXPECT_TRUE(ended->Succeeded()) << ended->Describe() << "; " << program.Errors();
}

} // namespace
} // namespace slidevane::test
