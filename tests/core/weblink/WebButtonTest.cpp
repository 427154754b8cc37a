#include "CoreFixture.h"

using namespace slidevane;
using namespace slidevane::testing;

namespace {

class WebButtonTest : public CoreFixture {};

TEST_F(WebButtonTest, HoverReloadsOnEveryMoveAndOtherControlsLeaveIt) {
    Form1& form = Started();
    form.Dispatch(Control::WWWBtn, Event::MouseMove);
    form.Dispatch(Control::WWWBtn, Event::MouseMove);
    EXPECT_EQ(window.TakeLoads(), (std::vector<std::string>{"WWWBtn=www-2.gif", "WWWBtn=www-2.gif"}));
    form.Dispatch(Control::Picture10, Event::MouseMove);
    form.Dispatch(Control::WWWBtn, Event::Click);
    EXPECT_EQ(window.Shows(Control::WWWBtn), "www-2.gif");
}

TEST_F(WebButtonTest, ClickHandsTheAddressToTheShellOnceAndIgnoresItsAnswer) {
    Form1& form = Started();
    shell.result = 2; // no browser
    form.Dispatch(Control::WWWBtn, Event::MouseUp);
    form.Dispatch(Control::WWWBtn, Event::Click);
    form.Dispatch(Control::WWWBtn, Event::DblClick);
    EXPECT_EQ(shell.calls,
              std::vector<std::string>{"0,open,http://www.norvale.example/,null,null,5"});
    EXPECT_TRUE(dialog.boxes.empty());
    EXPECT_TRUE(window.TakeLoads().empty());
}

} // namespace
