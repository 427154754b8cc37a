// A catalogue that is missing, holds a value of the wrong kind, lacks a title or a template file,
// or is rewritten while the program runs: what the user sees in each case.
#include "FaultBrowser.h"
#include "ModalBoxWatcher.h"
#include "Pointer.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace slidevane::test {
namespace {

using Shown = FaultBrowser::Shown;
using Lines = std::vector<std::string>;

TEST(CatalogueFaults, WithoutTheCatalogueKeyStartUpReportsError17AndShowsNothing) {
    FaultPack pack;
    pack.RemoveCatalogue();
    pack.WriteRegistry();
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    EXPECT_FALSE(browser.Start());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, QStringLiteral("Slidevane3"));
    EXPECT_EQ(watcher.Seen()[0].text,
              QStringLiteral("Run-time error '17':\n\nCan't perform requested operation"));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
    EXPECT_EQ(browser.Showing(), Shown{});
}

struct InstallFolder {
    const char* name;
    std::string data; // "PresentPath" as the registry file holds it
    std::string report;
};

void PrintTo(const InstallFolder& c, std::ostream* out) {
    *out << c.name;
}

class InstallFolderFault : public testing::TestWithParam<InstallFolder> {};

TEST_P(InstallFolderFault, EndsStartUpWithTheReportAndNothingShown) {
    FaultPack pack;
    pack.SetValue("", "PresentPath", GetParam().data);
    pack.WriteRegistry();
    // A relative folder is looked up from the working folder: one known to be empty.
    QString const working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(pack.Root()));
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    bool const started = browser.Start();
    QDir::setCurrent(working);
    EXPECT_FALSE(started);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), GetParam().report);
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
    EXPECT_EQ(browser.Showing(), Shown{});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, InstallFolderFault,
    testing::Values(
        // Zero bytes of text: not even a terminator.
        InstallFolder{"EmptyText",
                      "hex(1):", "Run-time error '5':\n\nInvalid procedure call or argument"},
        InstallFolder{"ExpandableText", "hex(2):2f,00,74,00,6d,00,70,00,00,00",
                      "Run-time error '17':\n\nCan't perform requested operation"},
        // A number reads as its digits: a relative folder "1234" that does not exist.
        InstallFolder{"Number", "dword:000004d2",
                      "Run-time error '76':\n\nPath not found: 1234\\UI\\b_Announcement-c.gif"},
        // Only the terminator: the folder is empty and the path starts at the root.
        InstallFolder{"OnlyTheTerminator", "\"\"",
                      "Run-time error '76':\n\nPath not found: \\UI\\b_Announcement-c.gif"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CatalogueFaults, AMissingTitleEndsTheFirstStripHoverAtThatButton) {
    FaultPack pack;
    pack.RemoveValue("INDEX", "5");
    pack.WriteRegistry();
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    Shown const before = browser.Showing();
    ModalBoxWatcher watcher;
    pointer.MoveTo(browser.Centre(Control::Button2));
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text,
              QStringLiteral("Run-time error '17':\n\nCan't perform requested operation"));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
    Shown expected = before;
    expected["Button1"] = pack.StripName(0, 'a');
    expected["Button2"] = pack.StripName(1, 'b');
    expected["Button4"] = pack.StripName(3, 'a');
    expected["Button5"] = pack.StripName(4, 'a');
    EXPECT_EQ(browser.Showing(), expected);
}

TEST(CatalogueFaults, ATemplateWhoseFileIsMissingStillReachesTheOfficeWithItsPath) {
    FaultPack pack;
    ASSERT_TRUE(QFile::remove(pack.TemplateFolder() + QStringLiteral("/") +
                              QString::fromStdString(FaultPack::TemplateName(2, 2))));
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    ModalBoxWatcher watcher;
    pointer.MoveTo(browser.Centre(Control::Dis2BackGnd));
    pointer.DoubleClick(browser.Centre(Control::Dis2BackGnd));
    EXPECT_EQ(browser.automation.calls,
              (Lines{"GetObject '' Powerpoint.Application.9", "Presentations", "Add -1",
                     "ApplyTemplate " + pack.PackFolder().toStdString() + "\\TEMPLATE\\" +
                         FaultPack::TemplateName(2, 2),
                     "Visible -1"}));
    EXPECT_TRUE(watcher.Seen().empty());
    EXPECT_FALSE(browser.dialog.QuitStatus().has_value());
    EXPECT_TRUE(browser.window.isVisible());
}

// How the registry file is rewritten while the program runs.
enum class Rewrite {
    LongerInPlace,        // an editor saving over the file: new size
    SameSizeInPlaceLater, // same size, same inode: only the modification time tells
    SameSizeByRename,     // a new file moved over the old one: new inode
};

struct Change {
    const char* name;
    Rewrite how;
    std::string title; // category 0's new title
};

void PrintTo(const Change& c, std::ostream* out) {
    *out << c.name;
}

class CatalogueRewritten : public testing::TestWithParam<Change> {};

TEST_P(CatalogueRewritten, TheNextEventLoadsTheNewNames) {
    Change const& change = GetParam();
    FaultPack pack;
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    pointer.MoveTo(browser.Centre(Control::Button1));
    ASSERT_EQ(browser.Showing()["Button1"], pack.StripName(0, 'b'));

    for (char look : {'a', 'b', 'c'}) {
        pack.WritePicture(FaultPack::StripName(change.title, look), 88, 17);
    }
    pack.SetValue("INDEX", "0", FaultPack::Quoted(change.title));
    QByteArray const text = pack.RegistryText();
    std::string const path = pack.RegistryFile().toStdString();
    struct stat old {};
    ASSERT_EQ(stat(path.c_str(), &old), 0);
    switch (change.how) {
    case Rewrite::LongerInPlace:
        ASSERT_NE(text.size(), old.st_size);
        pack.WriteRegistry();
        break;
    case Rewrite::SameSizeInPlaceLater: {
        ASSERT_EQ(text.size(), old.st_size);
        pack.WriteRegistry();
        timespec const later[2] = {old.st_atim, {old.st_mtim.tv_sec + 2, old.st_mtim.tv_nsec}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
        break;
    }
    case Rewrite::SameSizeByRename: {
        ASSERT_EQ(text.size(), old.st_size);
        std::string const fresh = pack.Root().toStdString() + "/fresh.reg";
        QFile next(QString::fromStdString(fresh));
        ASSERT_TRUE(next.open(QIODevice::WriteOnly));
        ASSERT_EQ(next.write(text), text.size());
        next.close();
        // The old file's time to the nanosecond: only the inode tells them apart.
        timespec const same[2] = {old.st_atim, old.st_mtim};
        ASSERT_EQ(utimensat(AT_FDCWD, fresh.c_str(), same, 0), 0);
        ASSERT_EQ(std::rename(fresh.c_str(), path.c_str()), 0);
        break;
    }
    }
    struct stat now {};
    ASSERT_EQ(stat(path.c_str(), &now), 0);
    ASSERT_FALSE(now.st_ino == old.st_ino && now.st_size == old.st_size &&
                 now.st_mtim.tv_sec == old.st_mtim.tv_sec &&
                 now.st_mtim.tv_nsec == old.st_mtim.tv_nsec);

    pointer.MoveTo(browser.Centre(Control::Button2));
    EXPECT_EQ(browser.Showing()["Button1"], FaultPack::StripName(change.title, 'a'));
    pointer.MoveTo(browser.Centre(Control::Button1));
    EXPECT_EQ(browser.Showing()["Button1"], FaultPack::StripName(change.title, 'b'));
    EXPECT_FALSE(browser.dialog.QuitStatus().has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CatalogueRewritten,
    testing::Values(Change{"LongerInPlace", Rewrite::LongerInPlace, "Celebration Day"},
                    Change{"SameSizeInPlaceLater", Rewrite::SameSizeInPlaceLater, "Celebrities"},
                    Change{"SameSizeByRename", Rewrite::SameSizeByRename, "Celebrities"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CatalogueFaults, ARegistryFileRemovedWhileRunningEndsTheNextReadWithError17) {
    FaultPack pack;
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    Shown const before = browser.Showing();
    ASSERT_TRUE(QFile::remove(pack.RegistryFile()));
    ModalBoxWatcher watcher;
    pointer.MoveTo(browser.Centre(Control::Button1));
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text,
              QStringLiteral("Run-time error '17':\n\nCan't perform requested operation"));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_EQ(browser.Showing(), before);
}

} // namespace
} // namespace slidevane::test
