#include "CoreFixture.h"

using namespace slidevane;
using namespace slidevane::testing;

namespace {

class DispatchTest : public CoreFixture {};

TEST_F(DispatchTest, TheEventTableRoutesExactlyTheHandledEvents) {
    Form1& form = Form();
    int routes = 0;
    for (Control control : AllControls) {
        for (Event event : {Event::MouseMove, Event::MouseUp, Event::Click, Event::DblClick}) {
            routes += form.HasHandler(control, event) ? 1 : 0;
        }
    }
    // 10 buttons x 3, thumbnails x 2, main preview x 2, web button x 2, glyphs x 1.
    EXPECT_EQ(routes, 30 + 6 + 2 + 2 + 2);
    EXPECT_FALSE(form.HasHandler(Control::WWWBtn, Event::DblClick));
    EXPECT_FALSE(form.HasHandler(Control::WWWBtn, Event::MouseUp));
    EXPECT_FALSE(form.HasHandler(Control::Dis1BackGnd, Event::Click));
    EXPECT_FALSE(form.HasHandler(Control::Picture9, Event::MouseMove));
}

TEST_F(DispatchTest, ChromeMinimizesAndUnloadsWithoutTouchingPictures) {
    Form1& form = Started();
    BrowserState const before = form.State();
    form.Dispatch(Control::Picture10, Event::Click);
    form.Dispatch(Control::Picture10, Event::MouseMove);
    EXPECT_EQ(window.minimized, 1);
    EXPECT_TRUE(window.TakeLoads().empty());
    form.Dispatch(Control::Picture9, Event::Click);
    EXPECT_EQ(window.unloaded, 1);
    EXPECT_EQ(form.State().CurrentIndex, before.CurrentIndex);
    EXPECT_EQ(form.State().PictureIndex, before.PictureIndex);
    EXPECT_TRUE(dialog.quitStatus.empty());
}

TEST_F(DispatchTest, AnUnhandledErrorIsReportedOnceAndEndsEventHandling) {
    Form1& form = Started();
    window.missing.insert(UI("www-2.gif"));
    form.Dispatch(Control::WWWBtn, Event::MouseMove);
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text, "Run-time error '53':\n\nFile not found: C:\\Pack\\UI\\www-2.gif");
    EXPECT_EQ(dialog.quitStatus, std::vector<int>{1});

    form.Dispatch(Control::Button5, Event::MouseMove);
    form.Dispatch(Control::Picture9, Event::Click);
    EXPECT_TRUE(window.TakeLoads().empty());
    EXPECT_EQ(window.unloaded, 0);
    EXPECT_EQ(dialog.boxes.size(), 1u);
}

} // namespace
