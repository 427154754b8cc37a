// Catalogue reads with a platform that can tell registry changes: each event looks once whether
// anything changed and reads again only what may have, so a value changed between two pointer
// moves is read at the next one and an unchanged registry costs no read at all.
#include "CoreFixture.h"
#include "catalogue/Catalogue.h"

#include <utility>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

// Says "may have changed" at its first look and at the first look after each Touch(), as the
// platform's change notification does.
class TellingWatch : public RegistryWatch {
public:
    bool MayHaveChanged(win::HKEY root) override {
        ++looks;
        EXPECT_EQ(root, win::HKEY_LOCAL_MACHINE);
        return std::exchange(changed_, false);
    }
    void Touch() { changed_ = true; }
    int looks = 0;

private:
    bool changed_ = true;
};

class RegistryReadsTest : public CoreFixture {
protected:
    RegistryReadsTest() { registryWatch = &watch; }

    // Registry keys opened and looks taken by one event.
    std::pair<std::size_t, int> Cost(Control control, Event event) {
        registry.openedKeys.clear();
        watch.looks = 0;
        Form().Dispatch(control, event);
        return {registry.openedKeys.size(), watch.looks};
    }

    TellingWatch watch;
    static constexpr const char* Index = "SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0\\INDEX";
};

TEST_F(RegistryReadsTest, AnEventThatRepeatsEarlierReadsCostsOneLookAndNoRegistryCall) {
    Started();
    for (auto [control, first] :
         {std::pair{Control::Button5, 9u}, std::pair{Control::Dis2BackGnd, 0u}}) {
        auto const [opened, looks] = Cost(control, Event::MouseMove);
        EXPECT_EQ(opened, first) << ControlName(control) << ": titles not read at start-up";
        EXPECT_EQ(looks, 1);
    }
    window.TakeLoads();
    Cost(Control::Button4, Event::MouseMove);
    std::vector<std::string> const hover = window.TakeLoads();
    for (Control control : {Control::Button4, Control::Button5, Control::Dis1BackGnd,
                            Control::Dis2BackGnd, Control::Dis3BackGnd}) {
        EXPECT_EQ(Cost(control, Event::MouseMove), std::make_pair(std::size_t{0}, 1))
            << ControlName(control);
    }
    // A missing template is an answer too: the pane of category 2 lacks its second one.
    EXPECT_FALSE(Form().State().Pic2OK);
    // What is answered is what was read: the same pictures as at the first hover.
    window.TakeLoads();
    Cost(Control::Button4, Event::MouseMove);
    EXPECT_EQ(window.TakeLoads(), hover);
    // An event that reads nothing looks at nothing.
    EXPECT_EQ(Cost(Control::WWWBtn, Event::MouseMove), std::make_pair(std::size_t{0}, 0));
}

TEST_F(RegistryReadsTest, AValueChangedBetweenTwoMovesIsReadAtTheNextMove) {
    Form1& form = Started();
    form.Dispatch(Control::Button5, Event::MouseMove);
    EXPECT_EQ(window.Shows(Control::Button1), "b_Celebration-a.gif");

    registry.SetText(Index, "0", "Jubilee");
    watch.Touch();
    form.Dispatch(Control::Button6, Event::MouseMove);
    EXPECT_EQ(window.Shows(Control::Button1), "b_Jubilee-a.gif");

    // A template that appears and one that goes: the next preview page knows.
    std::string const templates = "SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0\\TEMPLATE\\2";
    form.Dispatch(Control::Dis1BackGnd, Event::MouseMove);
    registry.SetText(templates, "2", "new.otp");
    registry.RemoveValue(templates, "1");
    watch.Touch();
    form.Dispatch(Control::Dis2BackGnd, Event::MouseMove);
    EXPECT_FALSE(form.State().Pic1OK);
    EXPECT_TRUE(form.State().Pic2OK);
    EXPECT_EQ(window.Shows(Control::Dis2BackGnd), "p_Announcement-b5.gif");

    // A title gone from the registry is error 17 at the next move, as without any answers kept.
    registry.RemoveKey(Index);
    watch.Touch();
    form.Dispatch(Control::Button7, Event::MouseMove);
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text, "Run-time error '17':\n\nCan't perform requested operation");
}

TEST_F(RegistryReadsTest, ReadsOutsideAnEventLookEveryTimeAndLongValuesAreNotKept) {
    Form1& form = Started();
    watch.looks = 0;
    registry.openedKeys.clear();
    EXPECT_EQ(form.GetIndexTitle(9), "Meeting");
    EXPECT_EQ(form.GetIndexTitle(9), "Meeting");
    EXPECT_EQ(watch.looks, 2);
    EXPECT_EQ(registry.openedKeys.size(), 1u);

    std::string const longTitle(Module1::MaxKeptBytes, 'x');
    registry.SetText(Index, "9", longTitle); // with its NUL, one byte beyond what is kept
    watch.Touch();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form.GetIndexTitle(9), longTitle);
    }
    EXPECT_EQ(registry.openedKeys.size(), 4u);
}

} // namespace
