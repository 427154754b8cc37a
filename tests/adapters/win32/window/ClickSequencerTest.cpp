#include "adapters/win32/ClickSequencer.h"

#include <gtest/gtest.h>
#include <utility>

using namespace slidevane;

namespace {

using Events = std::vector<Event>;
constexpr auto Left = MouseButton::Left;

TEST(ClickSequencerTest, AClickNeedsPressAndReleaseInsideTheSameControl) {
    ClickSequencer sequencer;
    EXPECT_EQ(sequencer.Press(Control::Button3, Left, false), Events{});
    EXPECT_EQ(sequencer.Release(Control::Button3, Left, true),
              (Events{Event::MouseUp, Event::Click}));

    // Released outside the pressed control: the capture still brings the release to it.
    sequencer.Press(Control::Button3, Left, false);
    EXPECT_EQ(sequencer.Release(Control::Button3, Left, false), Events{Event::MouseUp});

    // A release with no press before it (the press went to another window).
    EXPECT_EQ(sequencer.Release(Control::Button4, Left, true), Events{Event::MouseUp});
}

TEST(ClickSequencerTest, ADoubleClickReplacesTheSecondClick) {
    ClickSequencer sequencer;
    Events all;
    auto add = [&all](const Events& events) {
        all.insert(all.end(), events.begin(), events.end());
    };
    add(sequencer.Press(Control::Dis2BackGnd, Left, false));
    add(sequencer.Release(Control::Dis2BackGnd, Left, true));
    add(sequencer.Press(Control::Dis2BackGnd, Left, true));
    add(sequencer.Release(Control::Dis2BackGnd, Left, true));
    EXPECT_EQ(all, (Events{Event::MouseUp, Event::Click, Event::DblClick, Event::MouseUp}));

    // The press after a double-click starts over: a further double-click message needs a new
    // first press on the control.
    EXPECT_EQ(sequencer.Press(Control::Dis2BackGnd, Left, true), Events{});
}

TEST(ClickSequencerTest, ADoubleClickStartedElsewhereIsAPlainPress) {
    ClickSequencer sequencer;
    sequencer.Press(Control::Button1, Left, false);
    sequencer.Release(Control::Button1, Left, true);
    EXPECT_EQ(sequencer.Press(Control::Button2, Left, true), Events{});
    EXPECT_EQ(sequencer.Release(Control::Button2, Left, true),
              (Events{Event::MouseUp, Event::Click}));

    // A press on the background in between breaks the pair as well.
    sequencer.Press(Control::Button2, Left, false);
    sequencer.Release(Control::Button2, Left, true);
    sequencer.PressOnBackground();
    EXPECT_EQ(sequencer.Press(Control::Button2, Left, true), Events{});
}

TEST(ClickSequencerTest, OtherButtonsAndLostCaptureGiveMouseUpOnly) {
    ClickSequencer sequencer;
    EXPECT_EQ(sequencer.Press(Control::WWWBtn, MouseButton::Right, false), Events{});
    EXPECT_EQ(sequencer.Release(Control::WWWBtn, MouseButton::Right, true), Events{Event::MouseUp});

    sequencer.Press(Control::WWWBtn, Left, false);
    sequencer.CaptureLost();
    EXPECT_EQ(sequencer.Release(Control::WWWBtn, Left, true), Events{Event::MouseUp});
}

// The messages of each sequence as the system sends them: it pairs only presses of the same
// button, so a press of another button in between leaves the next left press a plain one.
class Sequence {
public:
    explicit Sequence(Control control) : control_(control) {}
    Sequence& Down(MouseButton button, bool doubleClick = false) {
        Add(sequencer_.Press(control_, button, doubleClick));
        return *this;
    }
    Sequence& Up(MouseButton button, bool inside = true) {
        Add(sequencer_.Release(control_, button, inside));
        return *this;
    }
    Events Take() { return std::exchange(events_, {}); }

private:
    void Add(const Events& events) { events_.insert(events_.end(), events.begin(), events.end()); }
    Control control_;
    ClickSequencer sequencer_;
    Events events_;
};

TEST(ClickSequencerTest, ThePrimaryButtonAloneDecidesTheClickWhileOthersArePressedMeanwhile) {
    constexpr auto Right = MouseButton::Right;
    Sequence button6(Control::Button6);
    EXPECT_EQ(button6.Down(Left).Down(Right).Up(Right).Up(Left).Take(),
              (Events{Event::MouseUp, Event::MouseUp, Event::Click}));
    EXPECT_EQ(button6.Down(Right).Down(Left).Up(Left).Up(Right).Take(),
              (Events{Event::MouseUp, Event::Click, Event::MouseUp}));
    EXPECT_EQ(button6.Down(Left).Down(Right).Up(Left).Up(Right).Take(),
              (Events{Event::MouseUp, Event::Click, Event::MouseUp}));
    // A left release whose press went elsewhere, after a right press here.
    EXPECT_EQ(button6.Down(Right).Up(Left).Up(Right).Take(),
              (Events{Event::MouseUp, Event::MouseUp}));
    // Right and middle double-clicks, whose second press the system marks as a double.
    EXPECT_EQ(button6.Down(Right).Up(Right).Down(Right, true).Up(Right).Take(),
              (Events{Event::MouseUp, Event::MouseUp}));
    EXPECT_EQ(button6.Down(MouseButton::Middle)
                  .Up(MouseButton::Middle)
                  .Down(MouseButton::Middle, true)
                  .Up(MouseButton::Middle)
                  .Take(),
              (Events{Event::MouseUp, Event::MouseUp}));
}

TEST(ClickSequencerTest, PressesOfOtherButtonsLeaveTheLeftButtonsPairingAlone) {
    constexpr auto Right = MouseButton::Right;
    Sequence dis1(Control::Dis1BackGnd);
    // Left, right, left, left: the system pairs the last two left presses only.
    EXPECT_EQ(dis1.Down(Left).Up(Left).Down(Right).Up(Right).Down(Left).Up(Left).Take(),
              (Events{Event::MouseUp, Event::Click, Event::MouseUp, Event::MouseUp, Event::Click}));
    EXPECT_EQ(dis1.Down(Left, true).Up(Left).Take(), (Events{Event::DblClick, Event::MouseUp}));
    // A right click during the second press of a double-click leaves it whole.
    EXPECT_EQ(
        dis1.Down(Left).Up(Left).Down(Left, true).Down(Right).Up(Right).Up(Left).Take(),
        (Events{Event::MouseUp, Event::Click, Event::DblClick, Event::MouseUp, Event::MouseUp}));
}

} // namespace
