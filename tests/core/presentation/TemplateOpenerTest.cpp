#include "CoreFixture.h"

using namespace slidevane;
using namespace slidevane::testing;

namespace {

using Calls = std::vector<std::string>;

class TemplateOpenerTest : public CoreFixture {};

std::string Path(const std::string& file) {
    return "ApplyTemplate(C:\\Pack\\TEMPLATE\\" + file + std::string(1, '\0') + ")";
}

TEST_F(TemplateOpenerTest, DoubleClickRunsTheFourStepsWithThePathAsBuilt) {
    Form1& form = Started();
    form.Dispatch(Control::MainDisBackGnd, Event::DblClick);
    EXPECT_EQ(automation.calls,
              (Calls{"GetObject(,Powerpoint.Application.9)", "Presentations", "Add(-1)",
                     Path("t2-1.otp"), "Visible(-1)"}));
    EXPECT_EQ(automation.liveObjects, 0);
    EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(TemplateOpenerTest, TheSelectionDecidesWhichTemplateOpens) {
    Form1& form = Started();
    form.State().HasPptVer = "8";
    form.Dispatch(Control::Dis3BackGnd, Event::MouseMove);
    form.Dispatch(Control::Dis1BackGnd, Event::DblClick); // the handler ignores which preview
    form.Dispatch(Control::Button5, Event::Click);        // same template number, new category
    form.Dispatch(Control::MainDisBackGnd, Event::DblClick);
    EXPECT_EQ(automation.calls[0], "GetObject(,Powerpoint.Application.8)");
    EXPECT_EQ(automation.calls[3], Path("t2-3.otp"));
    EXPECT_EQ(automation.calls[8], Path("t4-3.otp"));
}

TEST_F(TemplateOpenerTest, AbsentTemplateShowsThePurchaseMessageEveryTime) {
    Form1& form = Started();
    form.Dispatch(Control::Dis2BackGnd, Event::MouseMove);
    form.Dispatch(Control::Dis2BackGnd, Event::DblClick);
    form.Dispatch(Control::Dis2BackGnd, Event::DblClick);
    ASSERT_EQ(dialog.boxes.size(), 2u);
    EXPECT_EQ(dialog.boxes[1].text, "To purchase information,please visit http://www.norvale.example/");
    EXPECT_EQ(dialog.boxes[1].caption, "Slidevane3");
    EXPECT_TRUE(automation.calls.empty());
    EXPECT_TRUE(dialog.quitStatus.empty());
}

TEST_F(TemplateOpenerTest, AnyFailureOfTheFirstAttemptLeadsToExactlyOneSecond) {
    for (std::string step : {"GetObject", "Presentations", "Add", "ApplyTemplate", "Visible"}) {
        CoreRig run;
        run.automation.FailOn(step, 1);
        Form1& form = run.Started();
        form.Dispatch(Control::Dis1BackGnd, Event::DblClick);
        auto const& calls = run.automation.calls;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "CreateObject(Powerpoint.Application.9)"), 1)
            << step;
        EXPECT_EQ(calls.back(), "Visible(-1)") << step;
        EXPECT_TRUE(run.dialog.boxes.empty()) << step;
        EXPECT_EQ(run.automation.liveObjects, 0) << step;
    }
}

TEST_F(TemplateOpenerTest, FirstApplyFailingLeavesTwoPresentations) {
    automation.FailOn("ApplyTemplate", 1);
    Form1& form = Started();
    form.Dispatch(Control::Dis1BackGnd, Event::DblClick);
    EXPECT_EQ(automation.presentations, 2);
}

TEST_F(TemplateOpenerTest, MissingTemplateFileFailsBothAttemptsAndReportsTheSecond) {
    automation.FailOn("ApplyTemplate");
    Form1& form = Started();
    form.Dispatch(Control::Dis1BackGnd, Event::DblClick);
    EXPECT_EQ(std::count(automation.calls.begin(), automation.calls.end(), "Add(-1)"), 2);
    EXPECT_EQ(std::count(automation.calls.begin(), automation.calls.end(), "Visible(-1)"), 0);
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text.find("Run-time error '440':"), 0u);
    EXPECT_EQ(dialog.quitStatus, std::vector<int>{1});
    EXPECT_EQ(automation.liveObjects, 0);
}

TEST_F(TemplateOpenerTest, NoApplicationAtAllTriesEachWayOnce) {
    automation.FailOn("GetObject");
    automation.FailOn("CreateObject");
    Form1& form = Started();
    form.Dispatch(Control::MainDisBackGnd, Event::DblClick);
    EXPECT_EQ(automation.calls, (Calls{"GetObject(,Powerpoint.Application.9)",
                                       "CreateObject(Powerpoint.Application.9)"}));
    EXPECT_EQ(dialog.quitStatus, std::vector<int>{1});
}

} // namespace
