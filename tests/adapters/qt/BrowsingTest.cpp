// Browsing a real pack through the real window: start-up, the strip, the previews, the web
// button, opening a template, the chrome and the error report.
#include "BrowserUnderTest.h"
#include "ModalBoxWatcher.h"
#include "Pointer.h"
#include "UrlRecorder.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace slidevane::test {
namespace {

using Lines = std::vector<std::string>;
using Names = std::vector<QString>;

QString Strip(int category, char look) {
    return FixturePack::StripName(category, look);
}
QString Preview(int category, char look, int number) {
    return FixturePack::PreviewName(category, look, number);
}

class Browsing : public testing::Test {
protected:
    Browsing() : browser(pack) {}

    void StartAndPark() {
        ASSERT_TRUE(browser.Start());
        pointer = std::make_unique<Pointer>(browser.window);
        browser.log.Clear();
    }
    QPoint Centre(Control control) const {
        return browser.window.Widget(control).geometry().center();
    }
    Names StripShows() const {
        Names names;
        for (int k = 0; k <= 9; ++k) {
            names.push_back(browser.Showing(StripButton(k)));
        }
        return names;
    }
    Names PaneShows() const {
        return {browser.Showing(Control::Dis1BackGnd), browser.Showing(Control::Dis2BackGnd),
                browser.Showing(Control::Dis3BackGnd), browser.Showing(Control::MainDisBackGnd)};
    }
    // The strip after a move over position `hover` with `current` the current category.
    static Names StripAfterHover(int hover, int current) {
        Names names;
        for (int k = 0; k <= 9; ++k) {
            names.push_back(Strip(k, k == current ? 'c' : k == hover ? 'b' : 'a'));
        }
        return names;
    }

    FixturePack pack;
    BrowserUnderTest browser;
    std::unique_ptr<Pointer> pointer;
};

TEST_F(Browsing, StartUpShowsCategoryTwoWithItsFirstTemplateSelected) {
    StartAndPark();
    EXPECT_EQ(browser.window.size(), QSize(418, 288));
    EXPECT_EQ(browser.Showing(Control::Button3), Strip(2, 'c'));
    EXPECT_EQ(PaneShows(), (Names{Preview(2, 'b', 4), Preview(2, 'a', 5), Preview(2, 'a', 6),
                                  Preview(2, 'c', 4)}));
    // Until the pointer first reaches the strip, the rest keeps the stored pictures.
    for (Control control :
         {Control::Button1, Control::Button2, Control::Button10, Control::WWWBtn}) {
        EXPECT_TRUE(browser.window.LoadedFile(control).isEmpty()) << ControlName(control);
    }
}

TEST_F(Browsing, HoveringAcrossTheStripHighlightsTheButtonUnderThePointer) {
    StartAndPark();
    pointer->MoveTo(Centre(Control::Button1));
    EXPECT_EQ(StripShows(), StripAfterHover(0, 2));
    EXPECT_EQ(browser.Showing(Control::WWWBtn), FixturePack::WebName(1));
    for (int k : {1, 3, 7, 9}) {
        pointer->MoveTo(Centre(StripButton(k)));
        EXPECT_EQ(StripShows(), StripAfterHover(k, 2)) << "over position " << k;
    }
    // Leaving for the background changes nothing.
    pointer->MoveTo(Pointer::Background);
    EXPECT_EQ(StripShows(), StripAfterHover(9, 2));
    EXPECT_EQ(browser.log.Buttons(), Lines{});
}

// Counts the paints of every control.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QtWindow& window) {
        for (Control control : AllControls) {
            window.Widget(control).installEventFilter(this);
        }
    }
    // The controls painted since the last call, by name.
    std::set<std::string> Take() { return std::exchange(painted_, {}); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted_.insert(static_cast<PictureControl*>(watched)->objectName().toStdString());
        }
        return false;
    }

private:
    std::set<std::string> painted_;
};

TEST_F(Browsing, AMoveRepaintsOnlyTheControlsWhosePictureChanged) {
    using Painted = std::set<std::string>;
    StartAndPark();
    pointer->MoveTo(Centre(Control::Button1));
    QCoreApplication::processEvents();
    PaintCounter painted(browser.window);
    auto after = [&](Control control, QPoint offset = {}) {
        pointer->MoveTo(Centre(control) + offset);
        QCoreApplication::processEvents();
        return painted.Take();
    };
    // Eleven pictures loaded, two of them changed.
    EXPECT_EQ(after(Control::Button2), (Painted{"Button1", "Button2"}));
    EXPECT_EQ(after(Control::Button2, {3, 0}), Painted{});
    // Five loaded: the old and the new selection and the main preview changed.
    EXPECT_EQ(after(Control::Dis2BackGnd),
              (Painted{"Dis1BackGnd", "Dis2BackGnd", "MainDisBackGnd"}));
    EXPECT_EQ(after(Control::Dis2BackGnd, {2, 1}), Painted{});
    EXPECT_EQ(after(Control::WWWBtn), Painted{"WWWBtn"});
    EXPECT_EQ(after(Control::MainDisBackGnd), Painted{"WWWBtn"});
}

TEST_F(Browsing, ClickingAStripButtonMakesItsCategoryCurrentAndFillsThePane) {
    StartAndPark();
    pointer->MoveTo(Centre(Control::Button5));
    pointer->Click(Centre(Control::Button5));
    EXPECT_EQ(browser.log.Buttons(), (Lines{"Button5 MouseUp", "Button5 Click"}));
    EXPECT_EQ(browser.form.State().CurrentIndex, 4);
    EXPECT_EQ(browser.Showing(Control::Button5), Strip(4, 'c'));
    EXPECT_EQ(PaneShows(), (Names{Preview(4, 'b', 4), Preview(4, 'a', 5), Preview(4, 'a', 6),
                                  Preview(4, 'c', 4)}));
    // The button that was current keeps its current picture until the pointer moves again.
    EXPECT_EQ(browser.Showing(Control::Button3), Strip(2, 'c'));
    // The next move over the strip repaints the old current button as a normal one.
    pointer->MoveTo(Centre(Control::Button1));
    EXPECT_EQ(StripShows(), StripAfterHover(0, 4));
}

TEST_F(Browsing, PressingAStripButtonAndReleasingElsewhereSelectsNothing) {
    StartAndPark();
    pointer->MoveTo(Centre(Control::Button6));
    pointer->Press(Centre(Control::Button6));
    pointer->MoveTo(Centre(Control::Button8));
    // The move went to the pressed button, which keeps its hover look while held.
    EXPECT_EQ(StripShows(), StripAfterHover(5, 2));
    pointer->Release(Centre(Control::Button8));
    EXPECT_EQ(browser.log.Buttons(), Lines{"Button6 MouseUp"});
    EXPECT_EQ(browser.form.State().CurrentIndex, 2);
    EXPECT_EQ(StripShows(), StripAfterHover(-1, 2));
    EXPECT_EQ(PaneShows()[3], Preview(2, 'c', 4));
}

TEST_F(Browsing, ADoubleClickOnAStripButtonSelectsOnce) {
    StartAndPark();
    pointer->MoveTo(Centre(Control::Button7));
    pointer->DoubleClick(Centre(Control::Button7));
    EXPECT_EQ(browser.log.Buttons(),
              (Lines{"Button7 MouseUp", "Button7 Click", "Button7 DblClick", "Button7 MouseUp"}));
    EXPECT_EQ(browser.form.State().CurrentIndex, 6);
    EXPECT_EQ(browser.Showing(Control::Button7), Strip(6, 'c'));
    EXPECT_TRUE(browser.automation.calls.empty());
}

TEST_F(Browsing, OnlyThePrimaryButtonSelectsACategoryOrOpensATemplate) {
    StartAndPark();
    pointer->MoveTo(Centre(Control::Button5));
    pointer->Click(Centre(Control::Button5), Qt::RightButton);
    EXPECT_EQ(browser.form.State().CurrentIndex, 2);
    // Its MouseUp still gives the pressed button its normal picture.
    EXPECT_EQ(StripShows(), StripAfterHover(-1, 2));

    pointer->MoveTo(Centre(Control::Dis2BackGnd));
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        pointer->Wait(1000);
        pointer->DoubleClick(Centre(Control::Dis2BackGnd), button);
    }
    // A left click and a right click in quick succession are no double-click either way.
    pointer->Wait(1000);
    pointer->Click(Centre(Control::Dis2BackGnd));
    pointer->Wait(60);
    pointer->Click(Centre(Control::Dis2BackGnd), Qt::RightButton);
    pointer->Wait(60);
    pointer->Click(Centre(Control::Dis2BackGnd));
    EXPECT_EQ(browser.log.Count(Control::Dis2BackGnd, Event::DblClick), 0);
    EXPECT_TRUE(browser.automation.calls.empty());
}

TEST_F(Browsing, HoveringOverAThumbnailSelectsItsTemplate) {
    StartAndPark();
    pointer->MoveTo(Centre(Control::Dis2BackGnd));
    EXPECT_EQ(PaneShows(), (Names{Preview(2, 'a', 4), Preview(2, 'b', 5), Preview(2, 'a', 6),
                                  Preview(2, 'c', 5)}));
    pointer->MoveTo(Centre(Control::Dis3BackGnd));
    EXPECT_EQ(PaneShows(), (Names{Preview(2, 'a', 4), Preview(2, 'a', 5), Preview(2, 'b', 6),
                                  Preview(2, 'c', 6)}));
    EXPECT_EQ(browser.form.State().PictureIndex, 6);
}

TEST_F(Browsing, AThumbnailWithoutATemplateIsShownLargeButNotHighlighted) {
    StartAndPark();
    int const category = FixturePack::CategoryWithoutThird;
    Control const button = StripButton(category);
    pointer->MoveTo(Centre(button));
    pointer->Click(Centre(button));
    pointer->MoveTo(Centre(Control::Dis3BackGnd));
    EXPECT_EQ(PaneShows(), (Names{Preview(category, 'a', 4), Preview(category, 'a', 5),
                                  Preview(category, 'a', 6), Preview(category, 'c', 6)}));
}

TEST_F(Browsing, TheWebButtonLightsUnderThePointerUntilThePointerReachesAnotherControl) {
    StartAndPark();
    pointer->MoveTo(Centre(Control::WWWBtn));
    EXPECT_EQ(browser.Showing(Control::WWWBtn), FixturePack::WebName(2));
    pointer->MoveTo(Pointer::Background);
    EXPECT_EQ(browser.Showing(Control::WWWBtn), FixturePack::WebName(2));
    for (Control control : {Control::MainDisBackGnd, Control::Dis1BackGnd, Control::Button2}) {
        pointer->MoveTo(Centre(Control::WWWBtn));
        pointer->MoveTo(Centre(control));
        EXPECT_EQ(browser.Showing(Control::WWWBtn), FixturePack::WebName(1))
            << ControlName(control);
    }
}

TEST_F(Browsing, ClickingTheWebButtonOpensTheVendorsSiteOnce) {
    StartAndPark();
    UrlRecorder browserOfTheDesktop(QStringLiteral("http"));
    pointer->MoveTo(Centre(Control::WWWBtn));
    pointer->Click(Centre(Control::WWWBtn));
    EXPECT_EQ(browserOfTheDesktop.opened,
              QList<QUrl>{QUrl(QStringLiteral("http://www.norvale.example/"))});
    pointer->Wait(1000);
    pointer->DoubleClick(Centre(Control::WWWBtn));
    EXPECT_EQ(browserOfTheDesktop.opened.size(), 2) << "a double-click opens it once";
}

TEST_F(Browsing, ADoubleClickOnAThumbnailOpensTheSelectedTemplate) {
    StartAndPark();
    pointer->MoveTo(Centre(Control::Dis2BackGnd));
    pointer->DoubleClick(Centre(Control::Dis2BackGnd));
    std::string const path = pack.PackFolder().toStdString() + "\\TEMPLATE\\" +
                             FixturePack::TemplateName(2, 2).toStdString();
    EXPECT_EQ(browser.automation.calls,
              (Lines{"GetObject '' Powerpoint.Application.9", "Presentations", "Add -1",
                     "ApplyTemplate " + path, "Visible -1"}));
    EXPECT_EQ(browser.automation.busyWhenAsked, std::vector<bool>{true})
        << "the office was asked for without the busy pointer";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the busy pointer stayed";
}

TEST_F(Browsing, ADoubleClickOnTheMainPreviewOfAMissingTemplatePointsToTheVendor) {
    StartAndPark();
    Control const button = StripButton(FixturePack::CategoryWithoutThird);
    pointer->MoveTo(Centre(button));
    pointer->Click(Centre(button));
    pointer->MoveTo(Centre(Control::Dis3BackGnd));
    pointer->MoveTo(Centre(Control::MainDisBackGnd));
    {
        ModalBoxWatcher watcher;
        pointer->DoubleClick(Centre(Control::MainDisBackGnd));
        ASSERT_EQ(watcher.Seen().size(), 1u);
        EXPECT_EQ(watcher.Seen()[0].caption, QStringLiteral("Slidevane3"));
        EXPECT_EQ(
            watcher.Seen()[0].text,
            QStringLiteral("To purchase information,please visit http://www.norvale.example/"));
        EXPECT_FALSE(watcher.Seen()[0].hasIcon);
        EXPECT_EQ(watcher.Seen()[0].buttonCount, 1);
        EXPECT_FALSE(watcher.Seen()[0].busyPointer) << "the box showed under the busy pointer";
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the busy pointer stayed";
    EXPECT_TRUE(browser.automation.calls.empty());
    EXPECT_FALSE(browser.form.Ended());
    // The box took the double-click's release; the window still follows the pointer afterwards.
    pointer->Wait(1000);
    pointer->MoveTo(Centre(Control::Button2));
    pointer->MoveTo(Centre(Control::Button1));
    EXPECT_EQ(browser.Showing(Control::Button1), Strip(0, 'b'));
    pointer->Click(Centre(Control::Button1));
    EXPECT_EQ(browser.form.State().CurrentIndex, 0);
}

} // namespace
} // namespace slidevane::test
