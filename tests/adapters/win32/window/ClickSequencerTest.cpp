#include "adapters/win32/ClickSequencer.h"

#include <gtest/gtest.h>

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

} // namespace
