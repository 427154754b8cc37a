#include "CoreFixture.h"

using namespace slidevane;
using namespace slidevane::testing;

namespace {

using Loads = std::vector<std::string>;

class StartupTest : public CoreFixture {};

TEST_F(StartupTest, DesignedDensityLoadsCategoryTwoAndLeavesTheLayout) {
    ASSERT_TRUE(Form().Form_Load());
    EXPECT_TRUE(window.geometryLog.empty());
    EXPECT_EQ(window.TakeLoads(),
              (Loads{"Button3=b_Announcement-c.gif", "Dis1BackGnd=p_Announcement-b4.gif",
                     "Dis2BackGnd=p_Announcement-a5.gif", "Dis3BackGnd=p_Announcement-a6.gif",
                     "MainDisBackGnd=p_Announcement-c4.gif"}));
    BrowserState const& state = Form().State();
    EXPECT_EQ(state.Index, 0);
    EXPECT_EQ(state.CurrentIndex, 2);
    EXPECT_EQ(state.BasePicIndex, 3);
    EXPECT_EQ(state.PictureIndex, 4);
    EXPECT_EQ(state.OldPictureIndex, 0);
    EXPECT_TRUE(state.Pic1OK);
    EXPECT_FALSE(state.Pic2OK);
    EXPECT_TRUE(state.Pic3OK);
    EXPECT_EQ(state.DefaultPath, "C:\\Pack\\UI\\");
    EXPECT_EQ(state.HasPptVer, "9");
    EXPECT_EQ(window.Shows(Control::Button1), "stored");
    EXPECT_EQ(window.Shows(Control::WWWBtn), "stored");
    EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(StartupTest, OtherDensityScalesAllSeventyValuesInTheirOrder) {
    window.scaleHeight = 360.0f;
    window.formWidth = 6270.0f;
    window.formHeight = 4320.0f;
    ASSERT_TRUE(Form().Form_Load());

    ASSERT_EQ(window.geometryLog.size(), 70u);
    EXPECT_EQ(window.geometryLog[0], "Form1.Width");
    EXPECT_EQ(window.geometryLog[1], "Form1.Height");
    EXPECT_EQ(Loads(window.geometryLog.begin() + 2, window.geometryLog.begin() + 10),
              (Loads{"WWWBtn.Width", "WWWBtn.Top", "WWWBtn.Height", "WWWBtn.Left", "Button1.Left",
                     "Button1.Width", "Button1.Top", "Button1.Height"}));
    EXPECT_EQ(window.geometryLog[45], "Button10.Height");
    EXPECT_EQ(window.geometryLog[46], "Dis1BackGnd.Left");
    EXPECT_EQ(window.geometryLog[61], "MainDisBackGnd.Height");
    EXPECT_EQ(window.geometryLog[62], "Picture10.Left");
    EXPECT_EQ(window.geometryLog[69], "Picture9.Height");

    EXPECT_FLOAT_EQ(window.formWidth, 5016.0f);
    EXPECT_FLOAT_EQ(window.formHeight, 3456.0f);
    EXPECT_FLOAT_EQ(window.ControlProperty(Control::Button1, Property::Left), 16.0f * 0.8f);
    // Each product is rounded to single precision, as the layout stores it.
    float const button8Top = 2810.0f / 15.0f;
    EXPECT_EQ(window.ControlProperty(Control::Button8, Property::Top),
              static_cast<float>(button8Top * 0.8));
}

TEST_F(StartupTest, CompensationBringsAnyDensityBackToTheDesignedHeight) {
    // 10 twips per pixel: the designed 288 rows read as 432, and the window must come back to
    // 288 pixels (2880 twips) around the 290-row picture, not 0.8 of it.
    window.scaleHeight = 432.0f;
    window.formHeight = 4320.0f;
    ASSERT_TRUE(Form().Form_Load());
    EXPECT_FLOAT_EQ(window.formHeight, 2880.0f);

    CoreRig other;
    other.window.scaleHeight = 287.99f;
    ASSERT_TRUE(other.Form().Form_Load());
    EXPECT_EQ(other.window.geometryLog.size(), 70u);
}

TEST_F(StartupTest, MissingCatalogueReportsError17BeforeDetection) {
    registry.RemoveValue(CatalogueKey, "PresentPath");
    registry.RemoveKey("Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot");
    EXPECT_FALSE(Form().Form_Load());
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text, "Run-time error '17':\n\nCan't perform requested operation");
    EXPECT_EQ(dialog.boxes[0].caption, "Slidevane3");
    EXPECT_EQ(dialog.quitStatus, std::vector<int>{1});
    EXPECT_TRUE(window.TakeLoads().empty());
    EXPECT_EQ(window.unloaded, 0);
    EXPECT_TRUE(Form().Ended());
}

TEST_F(StartupTest, MissingPictureStopsStartUpAtThatLoad) {
    window.missing.insert(UI("p_Announcement-a5.gif"));
    EXPECT_FALSE(Form().Form_Load());
    EXPECT_EQ(window.TakeLoads(),
              (Loads{"Button3=b_Announcement-c.gif", "Dis1BackGnd=p_Announcement-b4.gif"}));
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text,
              "Run-time error '53':\n\nFile not found: C:\\Pack\\UI\\p_Announcement-a5.gif");
    EXPECT_TRUE(Form().State().Pic1OK);
}

TEST_F(StartupTest, NoPresentationApplicationShowsTheMessageAfterThePaneIsFilled) {
    registry.RemoveKey("Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot");
    EXPECT_FALSE(Form().Form_Load());
    EXPECT_EQ(window.TakeLoads().size(), 5u);
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text, "You have no PowerPoint97 or PowerPoint2000!");
    EXPECT_EQ(dialog.boxes[0].caption, "Slidevane3");
    EXPECT_EQ(Form().State().HasPptVer, "0");
    EXPECT_EQ(window.unloaded, 1);
    EXPECT_TRUE(dialog.quitStatus.empty());
}

TEST_F(StartupTest, DetectionPrefersNineAndFallsBackToEight) {
    std::string const nine = "Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot";
    std::string const eight = "Software\\Microsoft\\Office\\8.0\\PowerPoint\\InstallRoot";
    registry.SetText(eight, "Path", "C:\\Old\\");
    ASSERT_TRUE(Form().Form_Load());
    EXPECT_EQ(Form().State().HasPptVer, "9");
    EXPECT_EQ(std::count(registry.openedKeys.begin(), registry.openedKeys.end(), eight), 0)
        << "the 8.0 record is never read when 9.0 is installed";

    CoreRig eightOnly;
    eightOnly.registry.RemoveValue(nine, "Path"); // the key stays, its value is gone
    eightOnly.registry.SetText(eight, "Path", "", /*terminated=*/false);
    ASSERT_TRUE(eightOnly.Form().Form_Load());
    EXPECT_EQ(eightOnly.Form().State().HasPptVer, "8");
}

} // namespace
