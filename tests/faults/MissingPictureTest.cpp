// A UI picture missing from the pack, at start-up and in every handler that loads that kind of
// picture: the user sees one report naming the file, the program ends with status 1, and every
// control keeps what it showed when the failing step was reached, including what that handler
// had already loaded.
#include "FaultBrowser.h"
#include "ModalBoxWatcher.h"
#include "Pointer.h"

#include <functional>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

using Shown = FaultBrowser::Shown;
using Step = std::function<void(FaultBrowser&, Pointer&)>;

std::string T(int category) {
    return FaultPack::DefaultTitles()[category];
}
std::string Strip(int category, char look) {
    return FaultPack::StripName(T(category), look);
}
std::string Preview(int category, char look, int number) {
    return FaultPack::PreviewName(T(category), look, number);
}
std::string Name(Control control) {
    return std::string(ControlName(control));
}

std::string FileNotFound(const FaultPack& pack, const std::string& missing) {
    return "Run-time error '53':\n\nFile not found: " + pack.CataloguePath(missing);
}

Shown With(Shown shown, const Shown& changes) {
    for (auto const& [control, file] : changes) {
        shown[control] = file;
    }
    return shown;
}

// The strip after a move over position `hover` with category 2 current, every button reloaded.
Shown StripHovered(int hover) {
    Shown shown;
    for (int k = 0; k <= 9; ++k) {
        if (k != 2) {
            shown[Name(StripButton(k))] = Strip(k, k == hover ? 'b' : 'a');
        }
    }
    return shown;
}

Step Nothing() {
    return [](FaultBrowser&, Pointer&) {};
}
Step MoveOnto(Control control) {
    return [control](FaultBrowser& browser, Pointer& pointer) {
        pointer.MoveTo(browser.Centre(control));
    };
}
Step ClickOn(Control control) {
    return [control](FaultBrowser& browser, Pointer& pointer) {
        pointer.Click(browser.Centre(control));
    };
}
// Pressed on the control and released over the background: MouseUp without Click.
Step PressAndLeave(Control control) {
    return [control](FaultBrowser& browser, Pointer& pointer) {
        pointer.Press(browser.Centre(control));
        pointer.MoveTo(Pointer::Background);
        pointer.Release(Pointer::Background);
    };
}

struct StartUpCase {
    const char* name;
    std::string missing;
    Shown loaded; // what start-up had loaded when it reached the missing file
};

void PrintTo(const StartUpCase& c, std::ostream* out) {
    *out << c.name;
}

class MissingAtStartUp : public testing::TestWithParam<StartUpCase> {};

TEST_P(MissingAtStartUp, IsReportedBeforeTheWindowIsShown) {
    FaultPack pack;
    pack.Remove(GetParam().missing);
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    EXPECT_FALSE(browser.Start());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, QStringLiteral("Slidevane3"));
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), FileNotFound(pack, GetParam().missing));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
    EXPECT_EQ(browser.Showing(), GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MissingAtStartUp,
    testing::Values(StartUpCase{"StripCurrent", Strip(2, 'c'), {}},
                    StartUpCase{
                        "ThumbnailHighlighted", Preview(2, 'b', 4), {{"Button3", Strip(2, 'c')}}},
                    StartUpCase{"ThumbnailNormal",
                                Preview(2, 'a', 5),
                                {{"Button3", Strip(2, 'c')}, {"Dis1BackGnd", Preview(2, 'b', 4)}}},
                    StartUpCase{"MainPreview",
                                Preview(2, 'c', 4),
                                {{"Button3", Strip(2, 'c')},
                                 {"Dis1BackGnd", Preview(2, 'b', 4)},
                                 {"Dis2BackGnd", Preview(2, 'a', 5)},
                                 {"Dis3BackGnd", Preview(2, 'a', 6)}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct HandlerCase {
    const char* name;
    Step before;         // brings the window to where the handler runs
    std::string missing; // removed once `before` is done
    Step handler;        // the pointer action whose handler meets the missing file
    Shown loaded;        // what the handler loaded before the failing step
};

void PrintTo(const HandlerCase& c, std::ostream* out) {
    *out << c.name;
}

class MissingInAHandler : public testing::TestWithParam<HandlerCase> {};

TEST_P(MissingInAHandler, StopsAtTheFailingStepReportsAndEnds) {
    HandlerCase const& c = GetParam();
    FaultPack pack;
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    c.before(browser, pointer);
    Shown const before = browser.Showing();
    pack.Remove(c.missing);

    ModalBoxWatcher watcher;
    c.handler(browser, pointer);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, QStringLiteral("Slidevane3"));
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), FileNotFound(pack, c.missing));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
    Shown const after = With(before, c.loaded);
    EXPECT_EQ(browser.Showing(), after);

    // Ended: the pointer still reaches the controls, but no handler runs and no box opens.
    pointer.Wait(1000);
    pointer.MoveTo(browser.Centre(Control::Button10));
    pointer.MoveTo(browser.Centre(Control::WWWBtn));
    pointer.Click(browser.Centre(Control::Button9));
    EXPECT_EQ(browser.Showing(), after);
    EXPECT_EQ(watcher.Seen().size(), 1u);
}

Shown StripMoveLoaded(int upTo) {
    Shown all = StripHovered(0);
    Shown loaded;
    for (int k = 0; k < upTo; ++k) {
        if (k != 2) {
            loaded[Name(StripButton(k))] = all[Name(StripButton(k))];
        }
    }
    return loaded;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MissingInAHandler,
    testing::Values(
        // A move over Button1: nine strip pictures, the web button's, then the current one's.
        HandlerCase{"StripMoveHovered", Nothing(), Strip(0, 'b'), MoveOnto(Control::Button1), {}},
        HandlerCase{"StripMoveNormal", Nothing(), Strip(4, 'a'), MoveOnto(Control::Button1),
                    StripMoveLoaded(4)},
        HandlerCase{"StripMoveWebNormal", Nothing(), FaultPack::WebName(1),
                    MoveOnto(Control::Button1), StripHovered(0)},
        HandlerCase{"StripMoveCurrent", Nothing(), Strip(2, 'c'), MoveOnto(Control::Button1),
                    With(StripHovered(0), {{"WWWBtn", FaultPack::WebName(1)}})},
        HandlerCase{"StripButtonUp",
                    MoveOnto(Control::Button6),
                    Strip(5, 'a'),
                    PressAndLeave(Control::Button6),
                    {}},
        // A click on Button6: MouseUp repaints it normal, then Click selects category 5.
        HandlerCase{"StripClickNormal",
                    MoveOnto(Control::Button6),
                    Strip(5, 'a'),
                    ClickOn(Control::Button6),
                    {}},
        HandlerCase{"StripClickCurrent",
                    MoveOnto(Control::Button6),
                    Strip(5, 'c'),
                    ClickOn(Control::Button6),
                    {{"Button6", Strip(5, 'a')}}},
        HandlerCase{"StripClickThumbnailHighlighted",
                    MoveOnto(Control::Button6),
                    Preview(5, 'b', 4),
                    ClickOn(Control::Button6),
                    {{"Button6", Strip(5, 'c')}}},
        HandlerCase{"StripClickThumbnailNormal",
                    MoveOnto(Control::Button6),
                    Preview(5, 'a', 6),
                    ClickOn(Control::Button6),
                    {{"Button6", Strip(5, 'c')},
                     {"Dis1BackGnd", Preview(5, 'b', 4)},
                     {"Dis2BackGnd", Preview(5, 'a', 5)}}},
        HandlerCase{"StripClickMainPreview",
                    MoveOnto(Control::Button6),
                    Preview(5, 'c', 4),
                    ClickOn(Control::Button6),
                    {{"Button6", Strip(5, 'c')},
                     {"Dis1BackGnd", Preview(5, 'b', 4)},
                     {"Dis2BackGnd", Preview(5, 'a', 5)},
                     {"Dis3BackGnd", Preview(5, 'a', 6)}}},
        // A move onto thumbnail 2: the web button's normal picture, then the pane repainted.
        HandlerCase{"ThumbnailMoveWebNormal",
                    Nothing(),
                    FaultPack::WebName(1),
                    MoveOnto(Control::Dis2BackGnd),
                    {}},
        HandlerCase{"ThumbnailMoveThumbnailNormal",
                    Nothing(),
                    Preview(2, 'a', 4),
                    MoveOnto(Control::Dis2BackGnd),
                    {{"WWWBtn", FaultPack::WebName(1)}}},
        HandlerCase{"ThumbnailMoveThumbnailHighlighted",
                    Nothing(),
                    Preview(2, 'b', 5),
                    MoveOnto(Control::Dis2BackGnd),
                    {{"WWWBtn", FaultPack::WebName(1)}, {"Dis1BackGnd", Preview(2, 'a', 4)}}},
        HandlerCase{"ThumbnailMoveMainPreview",
                    Nothing(),
                    Preview(2, 'c', 5),
                    MoveOnto(Control::Dis2BackGnd),
                    {{"WWWBtn", FaultPack::WebName(1)},
                     {"Dis1BackGnd", Preview(2, 'a', 4)},
                     {"Dis2BackGnd", Preview(2, 'b', 5)},
                     {"Dis3BackGnd", Preview(2, 'a', 6)}}},
        HandlerCase{"MainPreviewMoveWebNormal",
                    Nothing(),
                    FaultPack::WebName(1),
                    MoveOnto(Control::MainDisBackGnd),
                    {}},
        HandlerCase{
            "WebButtonMoveHover", Nothing(), FaultPack::WebName(2), MoveOnto(Control::WWWBtn), {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace slidevane::test
