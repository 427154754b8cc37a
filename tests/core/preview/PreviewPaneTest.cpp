#include "CoreFixture.h"

using namespace slidevane;
using namespace slidevane::testing;

namespace {

using Loads = std::vector<std::string>;

class PreviewPaneTest : public CoreFixture {};

TEST_F(PreviewPaneTest, FirstThumbnailMoveRepaintsOnceThenOnlyTheWebButtonReloads) {
    Form1& form = Started();
    form.Dispatch(Control::Dis1BackGnd, Event::MouseMove);
    EXPECT_EQ(window.TakeLoads(),
              (Loads{"WWWBtn=www-1.gif", "Dis1BackGnd=p_Announcement-b4.gif",
                     "Dis2BackGnd=p_Announcement-a5.gif", "Dis3BackGnd=p_Announcement-a6.gif",
                     "MainDisBackGnd=p_Announcement-c4.gif"}));
    EXPECT_EQ(form.State().OldPictureIndex, 4);

    form.Dispatch(Control::Dis1BackGnd, Event::MouseMove);
    form.Dispatch(Control::Dis1BackGnd, Event::MouseMove);
    EXPECT_EQ(window.TakeLoads(), (Loads{"WWWBtn=www-1.gif", "WWWBtn=www-1.gif"}));
}

TEST_F(PreviewPaneTest, SelectionFollowsThePointerAndAbsentTemplatesAreNotHighlighted) {
    Form1& form = Started();
    std::vector<int> seen;
    for (Control thumbnail : {Control::Dis1BackGnd, Control::Dis2BackGnd, Control::Dis1BackGnd}) {
        form.Dispatch(thumbnail, Event::MouseMove);
        seen.push_back(form.State().PictureIndex);
    }
    EXPECT_EQ(seen, (std::vector<int>{4, 5, 4}));

    window.TakeLoads();
    // Template 2 of category 2 is not in the catalogue: selected, shown large, not highlighted.
    form.Dispatch(Control::Dis2BackGnd, Event::MouseMove);
    EXPECT_EQ(form.State().PictureIndex, 5);
    EXPECT_EQ(window.Shows(Control::Dis2BackGnd), "p_Announcement-a5.gif");
    EXPECT_EQ(window.Shows(Control::MainDisBackGnd), "p_Announcement-c5.gif");
}

TEST_F(PreviewPaneTest, MainPreviewMoveOnlyRestoresTheWebButton) {
    Form1& form = Started();
    form.Dispatch(Control::WWWBtn, Event::MouseMove);
    form.Dispatch(Control::MainDisBackGnd, Event::MouseMove);
    EXPECT_EQ(window.TakeLoads(), (Loads{"WWWBtn=www-2.gif", "WWWBtn=www-1.gif"}));
    EXPECT_EQ(form.State().PictureIndex, 4);
    EXPECT_EQ(form.State().OldPictureIndex, 0);
}

TEST_F(PreviewPaneTest, NoRepaintAfterACategoryClickForTheAlreadySelectedThumbnail) {
    Form1& form = Started();
    form.Dispatch(Control::Dis1BackGnd, Event::MouseMove);
    form.Dispatch(Control::Button1, Event::Click);
    window.TakeLoads();
    form.Dispatch(Control::Dis1BackGnd, Event::MouseMove);
    EXPECT_EQ(window.TakeLoads(), (Loads{"WWWBtn=www-1.gif"}));
}

TEST_F(PreviewPaneTest, SelectionOutsideTheThumbnailsOnlyReloadsTheMainPreview) {
    Form1& form = Started();
    form.State().PictureIndex = 9;
    form.Preview().ShowPreviewPage();
    EXPECT_EQ(window.TakeLoads(), (Loads{"MainDisBackGnd=p_Announcement-c9.gif"}));
}

TEST_F(PreviewPaneTest, FailedRepaintKeepsTheGuardSoTheNextMoveRepaintsAgain) {
    Form1& form = Started();
    window.missing.insert(UI("p_Announcement-c5.gif"));
    form.Dispatch(Control::Dis2BackGnd, Event::MouseMove);
    EXPECT_EQ(form.State().PictureIndex, 5);
    EXPECT_EQ(form.State().OldPictureIndex, 0);
    EXPECT_EQ(window.Shows(Control::Dis3BackGnd), "p_Announcement-a6.gif");
    EXPECT_EQ(window.Shows(Control::MainDisBackGnd), "p_Announcement-c4.gif");
    EXPECT_EQ(dialog.quitStatus, std::vector<int>{1});
}

TEST_F(PreviewPaneTest, FailedWebPictureLeavesTheSelectionUnchanged) {
    Form1& form = Started();
    window.missing.insert(UI("www-1.gif"));
    form.Dispatch(Control::Dis3BackGnd, Event::MouseMove);
    EXPECT_EQ(form.State().PictureIndex, 4);
    EXPECT_TRUE(window.TakeLoads().empty());
}

TEST_F(PreviewPaneTest, CategoryWithoutTemplatesIsNeverHighlighted) {
    for (int n = 1; n <= 3; ++n) {
        registry.RemoveValue(std::string(CatalogueKey) + "\\TEMPLATE\\2", std::to_string(n));
    }
    Form1& form = Started();
    EXPECT_FALSE(form.State().Pic1OK || form.State().Pic2OK || form.State().Pic3OK);
    EXPECT_EQ(window.Shows(Control::Dis1BackGnd), "p_Announcement-a4.gif");
    EXPECT_EQ(window.Shows(Control::MainDisBackGnd), "p_Announcement-c4.gif");
}

} // namespace
