#include "CoreFixture.h"

using namespace slidevane;
using namespace slidevane::testing;

namespace {

using Loads = std::vector<std::string>;

class CategoryStripTest : public CoreFixture {};

TEST_F(CategoryStripTest, HoverPaintsEveryButtonInOrderAndSkipsTheCurrentOne) {
    Form1& form = Started();
    form.Dispatch(Control::Button5, Event::MouseMove);
    EXPECT_EQ(window.TakeLoads(),
              (Loads{"Button1=b_Celebration-a.gif", "Button2=b_Financial Review-a.gif",
                     "Button4=b_Lecture-a.gif", "Button5=b_Introduction-b.gif",
                     "Button6=b_Status Review-a.gif", "Button7=b_Training-a.gif",
                     "Button8=b_Brain Storming-a.gif", "Button9=b_Report-a.gif",
                     "Button10=b_Meeting-a.gif", "WWWBtn=www-1.gif",
                     "Button3=b_Announcement-c.gif"}));
    EXPECT_EQ(form.State().CurrentIndex, 2);

    // Over the current category's button no button shows its hover picture.
    form.Dispatch(Control::Button3, Event::MouseMove);
    for (std::string const& load : window.TakeLoads()) {
        EXPECT_EQ(load.find("-b.gif"), std::string::npos) << load;
    }
}

TEST_F(CategoryStripTest, ClickMakesTheCategoryCurrentAndRefreshesThePaneKeepingTheSelection) {
    Form1& form = Started();
    form.Dispatch(Control::Dis3BackGnd, Event::MouseMove);
    window.TakeLoads();

    form.Dispatch(Control::Button10, Event::MouseUp);
    form.Dispatch(Control::Button10, Event::Click);
    EXPECT_EQ(window.TakeLoads(),
              (Loads{"Button10=b_Meeting-a.gif", "Button10=b_Meeting-c.gif",
                     "Dis1BackGnd=p_Meeting-a4.gif", "Dis2BackGnd=p_Meeting-a5.gif",
                     "Dis3BackGnd=p_Meeting-b6.gif", "MainDisBackGnd=p_Meeting-c6.gif"}));
    EXPECT_EQ(form.State().CurrentIndex, 9);
    EXPECT_EQ(form.State().PictureIndex, 6);
    EXPECT_EQ(form.State().OldPictureIndex, 6);
    // The previous current button keeps its current picture until the strip is hovered.
    EXPECT_EQ(window.Shows(Control::Button3), "b_Announcement-c.gif");
    form.Dispatch(Control::Button1, Event::MouseMove);
    EXPECT_EQ(window.Shows(Control::Button3), "b_Announcement-a.gif");
    EXPECT_EQ(window.Shows(Control::Button10), "b_Meeting-c.gif");
}

TEST_F(CategoryStripTest, ClickOnTheCurrentCategoryRepeatsBothSteps) {
    Form1& form = Started();
    form.Dispatch(Control::Button3, Event::MouseUp);
    form.Dispatch(Control::Button3, Event::Click);
    EXPECT_EQ(window.TakeLoads(),
              (Loads{"Button3=b_Announcement-c.gif", "Dis1BackGnd=p_Announcement-b4.gif",
                     "Dis2BackGnd=p_Announcement-a5.gif", "Dis3BackGnd=p_Announcement-a6.gif",
                     "MainDisBackGnd=p_Announcement-c4.gif"}));
}

TEST_F(CategoryStripTest, ReleaseWithoutClickGivesTheNormalPictureAndKeepsTheCategory) {
    Form1& form = Started();
    form.Dispatch(Control::Button7, Event::MouseMove);
    window.TakeLoads();
    form.Dispatch(Control::Button7, Event::MouseUp); // released outside: no Click follows
    EXPECT_EQ(window.TakeLoads(), (Loads{"Button7=b_Training-a.gif"}));
    EXPECT_EQ(form.State().CurrentIndex, 2);
}

TEST_F(CategoryStripTest, SetCurrentIndexOutsideTheStripChangesOnlyTheVariable) {
    Form1& form = Started();
    form.SetCurrentIndex(10);
    EXPECT_EQ(form.State().CurrentIndex, 10);
    form.SetCurrentIndex(-1);
    EXPECT_EQ(form.State().CurrentIndex, -1);
    EXPECT_TRUE(window.TakeLoads().empty());
}

TEST_F(CategoryStripTest, FailuresStopAtTheFailingStep) {
    Form1& form = Started();
    // A missing normal picture half-way through the hover: earlier buttons keep their new pictures.
    window.missing.insert(UI("b_Introduction-a.gif"));
    form.Dispatch(Control::Button2, Event::MouseMove);
    EXPECT_EQ(window.TakeLoads(), (Loads{"Button1=b_Celebration-a.gif",
                                         "Button2=b_Financial Review-b.gif",
                                         "Button4=b_Lecture-a.gif"}));
    EXPECT_EQ(window.Shows(Control::WWWBtn), "stored");
    EXPECT_EQ(dialog.quitStatus, std::vector<int>{1});
}

TEST_F(CategoryStripTest, FailedClickHasAlreadyMovedTheCurrentCategory) {
    Form1& form = Started();
    registry.RemoveValue(std::string(CatalogueKey) + "\\INDEX", "6");
    form.Dispatch(Control::Button7, Event::Click);
    EXPECT_EQ(form.State().CurrentIndex, 6);
    EXPECT_TRUE(window.TakeLoads().empty());
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text.substr(0, 21), "Run-time error '17':\n");
}

} // namespace
