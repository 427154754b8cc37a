// Category titles that are legal in the catalogue but unusual in a file name. A title goes into
// the picture names unchanged; the path resolver then decides what exists. Category 2 carries the
// title, so start-up already builds every kind of name from it.
#include "FaultBrowser.h"
#include "GifFile.h"
#include "ModalBoxWatcher.h"
#include "Pointer.h"

#include <QDir>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

using Shown = FaultBrowser::Shown;

FaultPack PackTitled(const std::string& title) {
    std::vector<std::string> titles = FaultPack::DefaultTitles();
    titles[2] = title;
    return FaultPack(titles);
}

// Start-up, a move over the strip and a move onto the second thumbnail, with category 2 titled
// `title` throughout.
void ExpectBrowsable(FaultPack& pack, const std::string& title) {
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    ASSERT_TRUE(browser.Start());
    EXPECT_EQ(browser.Showing(),
              (Shown{{"Button3", FaultPack::StripName(title, 'c')},
                     {"Dis1BackGnd", FaultPack::PreviewName(title, 'b', 4)},
                     {"Dis2BackGnd", FaultPack::PreviewName(title, 'a', 5)},
                     {"Dis3BackGnd", FaultPack::PreviewName(title, 'a', 6)},
                     {"MainDisBackGnd", FaultPack::PreviewName(title, 'c', 4)}}));
    Pointer pointer(browser.window);
    pointer.MoveTo(browser.Centre(Control::Button3));
    pointer.MoveTo(browser.Centre(Control::Dis2BackGnd));
    Shown shown = browser.Showing();
    EXPECT_EQ(shown["Button3"], FaultPack::StripName(title, 'c'));
    EXPECT_EQ(shown["Dis1BackGnd"], FaultPack::PreviewName(title, 'a', 4));
    EXPECT_EQ(shown["Dis2BackGnd"], FaultPack::PreviewName(title, 'b', 5));
    EXPECT_EQ(shown["MainDisBackGnd"], FaultPack::PreviewName(title, 'c', 5));
    EXPECT_TRUE(watcher.Seen().empty());
    EXPECT_FALSE(browser.dialog.QuitStatus().has_value());
}

struct Usable {
    const char* name;
    std::string title;
};

void PrintTo(const Usable& c, std::ostream* out) {
    *out << c.name;
}

class UsableTitle : public testing::TestWithParam<Usable> {};

TEST_P(UsableTitle, NamesPicturesThatAreFoundAndShown) {
    FaultPack pack = PackTitled(GetParam().title);
    ExpectBrowsable(pack, GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Faults, UsableTitle,
                         testing::Values(Usable{"Spaces", " Brain  Storming "},
                                         Usable{"NonAsciiLetters", "Präsentation Été Ωμέγα"},
                                         // "b_..-a.gif" is a plain file name, not a step up.
                                         Usable{"TwoDots", ".."},
                                         Usable{"ShellCharacters", "Q&A: 100% $HOME *?"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StrangeTitles, ATitleStoredWithoutItsTerminatorKeepsItsLastLetter) {
    FaultPack pack;
    // "Report" as UTF-16LE registry text, its data ending without a NUL.
    pack.SetValue("INDEX", "2", "hex(1):52,00,65,00,70,00,6f,00,72,00,74,00");
    pack.WriteRegistry();
    ExpectBrowsable(pack, "Report");
}

TEST(StrangeTitles, ATitleStoredAsANumberNamesPicturesByItsDigits) {
    FaultPack pack = PackTitled("7");
    pack.SetValue("INDEX", "2", "dword:00000007");
    pack.WriteRegistry();
    ExpectBrowsable(pack, "7");
}

// A backslash in a title is a folder separator to the resolver, as it is to the catalogue's own
// platform: "b_A\B-c.gif" means the file "B-c.gif" in a folder "b_A" of UI.
TEST(StrangeTitles, ABackslashInATitleIsPathNotFoundEvenBesideAFileOfThatVeryName) {
    FaultPack pack = PackTitled("A\\B");
    ASSERT_TRUE(QFileInfo::exists(pack.UiPath("b_A\\B-c.gif"))) << "the literal name exists";
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    EXPECT_FALSE(browser.Start());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(),
              "Run-time error '76':\n\nPath not found: " + pack.CataloguePath("b_A\\B-c.gif"));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_EQ(browser.Showing(), Shown{});
}

TEST(StrangeTitles, ABackslashInATitleReachesIntoAFolderThatExists) {
    FaultPack pack = PackTitled("A\\B");
    ASSERT_TRUE(QDir(pack.UiFolder()).mkpath(QStringLiteral("b_A")));
    ASSERT_TRUE(QDir(pack.UiFolder()).mkpath(QStringLiteral("p_A")));
    GifFile::WriteSolid(pack.UiPath("b_A/B-c.gif"), 88, 17, Qt::red);
    for (int number = 4; number <= 6; ++number) {
        for (char look : {'a', 'b', 'c'}) {
            GifFile::WriteSolid(
                pack.UiPath("p_A/B-" + std::string(1, look) + std::to_string(number) + ".gif"), 72,
                48, Qt::green);
        }
    }
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    ASSERT_TRUE(browser.Start());
    EXPECT_EQ(browser.Showing(), (Shown{{"Button3", "b_A/B-c.gif"},
                                        {"Dis1BackGnd", "p_A/B-b4.gif"},
                                        {"Dis2BackGnd", "p_A/B-a5.gif"},
                                        {"Dis3BackGnd", "p_A/B-a6.gif"},
                                        {"MainDisBackGnd", "p_A/B-c4.gif"}}));
    EXPECT_TRUE(watcher.Seen().empty());
}

TEST(StrangeTitles, ATitleTooLongForAFileNameIsFileNotFound) {
    std::string const title(300, 'x');
    FaultPack pack = PackTitled(title);
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    EXPECT_FALSE(browser.Start());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(),
              "Run-time error '53':\n\nFile not found: " +
                  pack.CataloguePath(FaultPack::StripName(title, 'c')));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_EQ(browser.Showing(), Shown{});
}

// The same title on a strip button away from the current one: the first hover meets it.
TEST(StrangeTitles, ATitleTooLongForAFileNameEndsTheHoverThatMeetsIt) {
    std::vector<std::string> titles = FaultPack::DefaultTitles();
    titles[1] = std::string(300, 'x');
    FaultPack pack(titles);
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    Shown const before = browser.Showing();
    ModalBoxWatcher watcher;
    pointer.MoveTo(browser.Centre(Control::Button1));
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(),
              "Run-time error '53':\n\nFile not found: " +
                  pack.CataloguePath(FaultPack::StripName(titles[1], 'a')));
    Shown expected = before;
    expected["Button1"] = pack.StripName(0, 'b');
    EXPECT_EQ(browser.Showing(), expected);
}

} // namespace
} // namespace slidevane::test
