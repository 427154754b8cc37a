// The window's event rules, driven through the window system's entry point of the real window.
#include "EventLog.h"
#include "Pointer.h"
#include "adapters/qt/QtWindow.h"

#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

using Lines = std::vector<std::string>;

class WindowEvents : public testing::Test {
protected:
    WindowEvents() {
        window.SetEventHandler([this](Control c, Event e) { log.Record(c, e); });
        window.show();
        pointer = std::make_unique<Pointer>(window);
        log.Clear();
    }

    QPoint Centre(Control control) const { return window.Widget(control).geometry().center(); }

    QtWindow window;
    EventLog log;
    std::unique_ptr<Pointer> pointer;
};

TEST_F(WindowEvents, HoverDeliversMovesToTheControlUnderThePointerOnly) {
    pointer->MoveTo(Centre(Control::Button3));
    pointer->MoveTo(Centre(Control::Button3) + QPoint(5, 1));
    pointer->MoveTo(Centre(Control::Dis2BackGnd));
    pointer->MoveTo(Pointer::Background);
    pointer->MoveTo(Centre(Control::WWWBtn));
    EXPECT_EQ(log.All(), (Lines{"Button3 MouseMove", "Button3 MouseMove", "Dis2BackGnd MouseMove",
                                "WWWBtn MouseMove"}));
}

TEST_F(WindowEvents, TheBackgroundDeliversNothing) {
    // Between two strip buttons, inside the panels, on the drawn title bar.
    for (QPoint at : {QPoint(50, 72), QPoint(150, 60), QPoint(300, 230), QPoint(200, 15)}) {
        pointer->MoveTo(at);
        pointer->Click(at);
        pointer->Wait(600);
    }
    pointer->DoubleClick(QPoint(300, 230));
    EXPECT_EQ(log.All(), Lines{});
}

TEST_F(WindowEvents, ClickGivesMouseUpThenClick) {
    pointer->MoveTo(Centre(Control::Button5));
    log.Clear();
    pointer->Click(Centre(Control::Button5));
    EXPECT_EQ(log.All(), (Lines{"Button5 MouseUp", "Button5 Click"}));
}

TEST_F(WindowEvents, EveryControlClicksForItself) {
    for (Control control : AllControls) {
        pointer->MoveTo(Centre(control));
        log.Clear();
        pointer->Click(Centre(control));
        pointer->Wait(600);
        EXPECT_EQ(log.All(), (Lines{Line(control, Event::MouseUp), Line(control, Event::Click)}));
    }
}

TEST_F(WindowEvents, OtherButtonsGiveMouseUpOnlyOnEveryControl) {
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        for (Control control : AllControls) {
            pointer->MoveTo(Centre(control));
            log.Clear();
            pointer->Click(Centre(control), button);
            pointer->Wait(600);
            pointer->DoubleClick(Centre(control), button);
            pointer->Wait(600);
            EXPECT_EQ(log.Buttons(), Lines(3, Line(control, Event::MouseUp)))
                << ControlName(control) << ", button " << button;
        }
    }
}

TEST_F(WindowEvents, ThePrimaryButtonAloneDecidesTheClickWhileOthersArePressedMeanwhile) {
    QPoint const at = Centre(Control::Button6);
    pointer->MoveTo(at);
    auto sequence = [&](std::initializer_list<std::pair<bool, Qt::MouseButton>> steps) {
        pointer->Wait(1000);
        log.Clear();
        for (auto [press, button] : steps) {
            press ? pointer->Press(at, button) : pointer->Release(at, button);
        }
        return log.Buttons();
    };
    constexpr bool Down = true;
    constexpr bool Up = false;
    constexpr Qt::MouseButton L = Qt::LeftButton;
    constexpr Qt::MouseButton R = Qt::RightButton;
    // Left down, right down, right up, left up: the right button's release is a MouseUp only.
    EXPECT_EQ(sequence({{Down, L}, {Down, R}, {Up, R}, {Up, L}}),
              (Lines{"Button6 MouseUp", "Button6 MouseUp", "Button6 Click"}));
    // Right down, left down, left up, right up.
    EXPECT_EQ(sequence({{Down, R}, {Down, L}, {Up, L}, {Up, R}}),
              (Lines{"Button6 MouseUp", "Button6 Click", "Button6 MouseUp"}));
    // Left down, right down, left up, right up.
    EXPECT_EQ(sequence({{Down, L}, {Down, R}, {Up, L}, {Up, R}}),
              (Lines{"Button6 MouseUp", "Button6 Click", "Button6 MouseUp"}));
    // Right down, then a left release whose press the window never saw (it went elsewhere).
    EXPECT_EQ(sequence({{Down, R}, {Up, L}, {Up, R}}),
              (Lines{"Button6 MouseUp", "Button6 MouseUp"}));
}

TEST_F(WindowEvents, APressOfAnotherButtonCarriedOffTheControlClicksNothing) {
    // The right button holds the pointer for Button1: the left press lands there too, but is
    // released over Button2.
    pointer->MoveTo(Centre(Control::Button1));
    pointer->Press(Centre(Control::Button1), Qt::RightButton);
    pointer->MoveTo(Centre(Control::Button2));
    pointer->Press(Centre(Control::Button2));
    pointer->Release(Centre(Control::Button2));
    pointer->Release(Centre(Control::Button2), Qt::RightButton);
    EXPECT_EQ(log.Buttons(), (Lines{"Button1 MouseUp", "Button1 MouseUp"}));
}

TEST_F(WindowEvents, PressesOfDifferentButtonsNeverPairIntoADoubleClick) {
    QPoint const at = Centre(Control::Dis1BackGnd);
    pointer->MoveTo(at);
    log.Clear();
    // Left then right within the double-click time.
    pointer->Click(at);
    pointer->Wait(60);
    pointer->Click(at, Qt::RightButton);
    EXPECT_EQ(log.Buttons(),
              (Lines{"Dis1BackGnd MouseUp", "Dis1BackGnd Click", "Dis1BackGnd MouseUp"}));

    // Right then left.
    pointer->Wait(1000);
    log.Clear();
    pointer->Click(at, Qt::RightButton);
    pointer->Wait(60);
    pointer->Click(at);
    EXPECT_EQ(log.Buttons(),
              (Lines{"Dis1BackGnd MouseUp", "Dis1BackGnd MouseUp", "Dis1BackGnd Click"}));

    // A right click between two left clicks breaks their pair, as the system's controls count
    // it; a third left click soon after pairs with the second.
    pointer->Wait(1000);
    log.Clear();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::LeftButton}) {
        pointer->Click(at, button);
        pointer->Wait(40);
    }
    EXPECT_EQ(log.Buttons(),
              (Lines{"Dis1BackGnd MouseUp", "Dis1BackGnd Click", "Dis1BackGnd MouseUp",
                     "Dis1BackGnd MouseUp", "Dis1BackGnd Click"}));
    log.Clear();
    pointer->Click(at);
    EXPECT_EQ(log.Buttons(), (Lines{"Dis1BackGnd DblClick", "Dis1BackGnd MouseUp"}));
}

TEST_F(WindowEvents, ARightClickDuringTheSecondPressOfADoubleClickLeavesItWhole) {
    QPoint const at = Centre(Control::Dis2BackGnd);
    pointer->MoveTo(at);
    log.Clear();
    pointer->Click(at);
    pointer->Wait(60);
    pointer->Press(at);
    pointer->Click(at, Qt::RightButton);
    pointer->Release(at);
    EXPECT_EQ(log.Buttons(),
              (Lines{"Dis2BackGnd MouseUp", "Dis2BackGnd Click", "Dis2BackGnd DblClick",
                     "Dis2BackGnd MouseUp", "Dis2BackGnd MouseUp"}));
}

TEST_F(WindowEvents, ReleaseOverAnotherControlGivesMouseUpToThePressedOneAndNoClick) {
    pointer->MoveTo(Centre(Control::Button1));
    pointer->Press(Centre(Control::Button1));
    pointer->MoveTo(Centre(Control::Button2));
    pointer->Release(Centre(Control::Button2));
    EXPECT_EQ(log.Buttons(), Lines{"Button1 MouseUp"});
    EXPECT_TRUE(log.Of(Control::Button2).empty());
}

TEST_F(WindowEvents, MovesWhileAButtonIsHeldGoToThePressedControlWhereverThePointerIs) {
    pointer->MoveTo(Centre(Control::Picture9));
    pointer->Press(Centre(Control::Picture9));
    log.Clear();
    // Over another control, the background, and beyond both edges of the window.
    for (QPoint at :
         {Centre(Control::Picture10), QPoint(300, 230), QPoint(-20, 40), QPoint(600, 500)}) {
        pointer->MoveTo(at);
    }
    pointer->Release(QPoint(600, 500));
    EXPECT_EQ(log.All(), (Lines{"Picture9 MouseMove", "Picture9 MouseMove", "Picture9 MouseMove",
                                "Picture9 MouseMove", "Picture9 MouseUp"}));
}

TEST_F(WindowEvents, DraggingAwayAndBackBeforeTheReleaseStillClicks) {
    pointer->MoveTo(Centre(Control::WWWBtn));
    pointer->Press(Centre(Control::WWWBtn));
    pointer->MoveTo(Pointer::Background);
    pointer->MoveTo(Centre(Control::WWWBtn));
    pointer->Release(Centre(Control::WWWBtn));
    EXPECT_EQ(log.Buttons(), (Lines{"WWWBtn MouseUp", "WWWBtn Click"}));
}

TEST_F(WindowEvents, APressThatStartedOnTheBackgroundDeliversNothingWhenReleasedOverAControl) {
    pointer->Press(Pointer::Background);
    pointer->MoveTo(Centre(Control::MainDisBackGnd));
    pointer->Release(Centre(Control::MainDisBackGnd));
    EXPECT_EQ(log.All(), Lines{});
}

TEST_F(WindowEvents, DoubleClickGivesDblClickInPlaceOfTheSecondClick) {
    pointer->MoveTo(Centre(Control::Dis1BackGnd));
    log.Clear();
    pointer->DoubleClick(Centre(Control::Dis1BackGnd));
    EXPECT_EQ(log.All(), (Lines{"Dis1BackGnd MouseUp", "Dis1BackGnd Click", "Dis1BackGnd DblClick",
                                "Dis1BackGnd MouseUp"}));
}

TEST_F(WindowEvents, TwoSlowClicksAreTwoClicks) {
    pointer->MoveTo(Centre(Control::Button4));
    log.Clear();
    pointer->Click(Centre(Control::Button4));
    pointer->Wait(1000);
    pointer->Click(Centre(Control::Button4));
    EXPECT_EQ(log.All(),
              (Lines{"Button4 MouseUp", "Button4 Click", "Button4 MouseUp", "Button4 Click"}));
}

TEST_F(WindowEvents, FastClicksOnNeighbouringStripButtonsAreTwoClicksNotADoubleClick) {
    // The bottom row of Button1 and the top row of Button2 lie 3 pixels apart: close enough for
    // Qt to pair the presses.
    QPoint const onButton1(50, 70);
    QPoint const onButton2(50, 73);
    ASSERT_TRUE(window.Widget(Control::Button1).geometry().contains(onButton1));
    ASSERT_TRUE(window.Widget(Control::Button2).geometry().contains(onButton2));
    pointer->MoveTo(onButton1);
    pointer->Click(onButton1);
    pointer->Wait(40);
    pointer->MoveTo(onButton2);
    pointer->Click(onButton2);
    EXPECT_EQ(log.Buttons(),
              (Lines{"Button1 MouseUp", "Button1 Click", "Button2 MouseUp", "Button2 Click"}));
}

TEST_F(WindowEvents, AClickOnANeighbourJustBeforeADoubleClickLeavesTheDoubleClickWhole) {
    // Qt pairs the Button1 press with the first Button2 press, is refused, and would then leave
    // the second Button2 press unpaired: two Clicks where the user double-clicked.
    QPoint const onButton1(50, 70);
    QPoint const onButton2(50, 73);
    pointer->MoveTo(onButton1);
    pointer->Click(onButton1);
    pointer->Wait(40);
    pointer->MoveTo(onButton2);
    pointer->DoubleClick(onButton2);
    EXPECT_EQ(log.Buttons(), (Lines{"Button1 MouseUp", "Button1 Click", "Button2 MouseUp",
                                    "Button2 Click", "Button2 DblClick", "Button2 MouseUp"}));
}

TEST_F(WindowEvents, TwoFastPressesFarApartOnOneControlAreTwoClicks) {
    QPoint const left(20, 62);
    QPoint const right(100, 62);
    ASSERT_TRUE(window.Widget(Control::Button1).geometry().contains(left));
    ASSERT_TRUE(window.Widget(Control::Button1).geometry().contains(right));
    pointer->MoveTo(left);
    pointer->Click(left);
    pointer->Wait(40);
    pointer->MoveTo(right);
    pointer->Click(right);
    EXPECT_EQ(log.Buttons(),
              (Lines{"Button1 MouseUp", "Button1 Click", "Button1 MouseUp", "Button1 Click"}));
}

TEST_F(WindowEvents, APressOnTheBackgroundBetweenTwoPressesOnAControlBreaksTheDoubleClick) {
    QPoint const first(50, 80);   // Button2, too far from the next press to pair with it
    QPoint const between(50, 72); // the background row between Button1 and Button2
    QPoint const second(50, 74);  // Button2 again, close enough to pair with `between`
    for (QPoint at : {first, between, second}) {
        pointer->MoveTo(at);
        pointer->Click(at);
        pointer->Wait(40);
    }
    EXPECT_EQ(log.Buttons(),
              (Lines{"Button2 MouseUp", "Button2 Click", "Button2 MouseUp", "Button2 Click"}));
}

TEST_F(WindowEvents, ADoubleClickReleasedOutsideGivesNoClick) {
    QPoint const at = Centre(Control::Picture10);
    pointer->MoveTo(at);
    pointer->Click(at);
    pointer->Wait(60);
    pointer->Press(at);
    pointer->MoveTo(Pointer::Background);
    pointer->Release(Pointer::Background);
    EXPECT_EQ(log.Buttons(), (Lines{"Picture10 MouseUp", "Picture10 Click", "Picture10 DblClick",
                                    "Picture10 MouseUp"}));
}

} // namespace
} // namespace slidevane::test
