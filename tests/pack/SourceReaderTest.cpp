// Reading a folder of templates as a pack's content, on real folder trees: the order of
// categories and templates, what is passed over, and every rule that keeps a pack from being
// made.
#include "SourceReader.h"

#include "PackScene.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Titles(const PackPlan& plan) {
    std::vector<std::string> titles;
    for (const PackCategory& category : plan.categories) {
        titles.push_back(category.title);
    }
    return titles;
}

bool Mentions(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines) {
        if (line.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(SourceReader, TakesCategoriesAndTemplatesInByteOrderWhateverTheLocale) {
    PackScene scene;
    // Byte order puts capitals before small letters and "É" (0xC3 ...) after both.
    for (const char* title : {"agenda", "\xC3\x89t\xC3\xA9", "Caf\xC3\xA9 & Co"}) {
        scene.Dummy(title, "one.otp");
    }
    scene.Dummy("Zebra", "b.POTX");
    scene.Dummy("Zebra", "B.pot");
    scene.Dummy("Zebra", "a.odp");
    SourceReader::Result const read = SourceReader::Read(scene.Source());
    ASSERT_TRUE(read.problems.empty()) << read.problems.front();
    EXPECT_EQ(Titles(read.plan), (std::vector<std::string>{"Caf\xC3\xA9 & Co", "Zebra", "agenda",
                                                           "\xC3\x89t\xC3\xA9"}));
    const PackCategory& zebra = read.plan.categories[1];
    EXPECT_EQ(zebra.index, 1);
    ASSERT_EQ(zebra.templates.size(), 3u);
    EXPECT_EQ(zebra.templates[0].source.filename(), "B.pot");
    EXPECT_EQ(zebra.templates[1].source.filename(), "a.odp");
    EXPECT_EQ(zebra.templates[2].source.filename(), "b.POTX");
    EXPECT_EQ(zebra.templates[2].number, 3);
    // Copies are named by place, with the extension in lower case.
    EXPECT_EQ(zebra.templates[0].packName, "1-1.pot");
    EXPECT_EQ(zebra.templates[2].packName, "1-3.potx");
}

TEST(SourceReader, PassesOverHiddenEntriesAndNamesWhatElseItLeavesOut) {
    PackScene scene;
    scene.Dummy("Report", "deck.ppt");
    scene.Dummy("Report", "notes.txt");
    scene.Dummy("Report", ".~lock.deck.ppt#");
    scene.Dummy(".git", "config.otp");
    std::ofstream(scene.Source() / "readme.otp") << "not a category";
    SourceReader::Result const read = SourceReader::Read(scene.Source());
    ASSERT_TRUE(read.problems.empty());
    EXPECT_EQ(Titles(read.plan), std::vector<std::string>{"Report"});
    EXPECT_EQ(read.plan.TemplateCount(), 1);
    EXPECT_TRUE(Mentions(read.notes, "notes.txt: passed over: not a template"));
    EXPECT_TRUE(Mentions(read.notes, "readme.otp: passed over: not a folder"));
    EXPECT_FALSE(Mentions(read.notes, "lock")) << "hidden entries go without a word";
    EXPECT_FALSE(Mentions(read.notes, ".git"));
}

TEST(SourceReader, OffersEverythingNamedLikeATemplateToTheOffice) {
    PackScene scene;
    fs::create_directories(scene.Category("Odd") / "folder.otp");
    ASSERT_EQ(mkfifo((scene.Category("Odd") / "pipe.pot").c_str(), 0600), 0);
    SourceReader::Result const read = SourceReader::Read(scene.Source());
    ASSERT_TRUE(read.problems.empty());
    EXPECT_EQ(read.plan.TemplateCount(), 2) << "the office is the one to say why they are not";
}

TEST(SourceReader, AnEmptyCategoryIsKeptWithANote) {
    PackScene scene;
    scene.Category("Later");
    scene.Dummy("Now", "a.otp");
    SourceReader::Result const read = SourceReader::Read(scene.Source());
    ASSERT_TRUE(read.problems.empty());
    EXPECT_EQ(Titles(read.plan), (std::vector<std::string>{"Later", "Now"}));
    EXPECT_TRUE(Mentions(read.notes, "Later: holds no templates"));
}

TEST(SourceReader, RefusesAnEmptySourceAndOneThatIsNoFolder) {
    PackScene scene;
    std::ofstream(scene.Source() / "loose.otp") << "x";
    SourceReader::Result const empty = SourceReader::Read(scene.Source());
    ASSERT_EQ(empty.problems.size(), 1u);
    EXPECT_EQ(empty.problems[0].find(scene.Source().string() + ": holds no category folders"), 0u);

    SourceReader::Result const missing = SourceReader::Read(scene.Root() / "nowhere");
    ASSERT_EQ(missing.problems.size(), 1u);
    EXPECT_TRUE(Mentions(missing.problems, "nowhere: no such folder"));
    SourceReader::Result const file = SourceReader::Read(scene.Source() / "loose.otp");
    EXPECT_TRUE(Mentions(file.problems, "loose.otp: not a folder"));
}

TEST(SourceReader, RefusesMoreThanTenCategoriesAndMoreThanThreeTemplates) {
    PackScene scene;
    for (int i = 0; i < 12; ++i) {
        scene.Dummy("Category " + std::string(1, static_cast<char>('A' + i)), "t.otp");
    }
    for (const char* name : {"1.otp", "2.pot", "3.potx", "4.odp"}) {
        scene.Dummy("Category B", name);
    }
    SourceReader::Result const read = SourceReader::Read(scene.Source());
    ASSERT_EQ(read.problems.size(), 2u);
    EXPECT_TRUE(Mentions(read.problems, ": holds 12 category folders, more than ten "
                                        "(beyond the tenth: Category K, Category L)"));
    EXPECT_TRUE(Mentions(read.problems, "Category B: holds 5 templates, more than three"));
}

TEST(SourceReader, TitlesMustFormThePicturesFileNames) {
    EXPECT_EQ(SourceReader::TitleProblem("Caf\xC3\xA9 & Co \"Live\""), "");
    EXPECT_EQ(SourceReader::TitleProblem(std::string(200, 'x')), "");
    EXPECT_EQ(SourceReader::TitleProblem(std::string(201, 'x')),
              "it is 201 bytes long, more than 200");
    // 100 two-byte letters are 200 bytes; one more is too many whatever the letters' count.
    std::string letters;
    for (int i = 0; i < 101; ++i) {
        letters += "\xC3\xA9";
    }
    EXPECT_EQ(SourceReader::TitleProblem(letters), "it is 202 bytes long, more than 200");
    EXPECT_EQ(SourceReader::TitleProblem("a\\b"), "it holds a backslash");
    EXPECT_EQ(SourceReader::TitleProblem("a/b"), "it holds a slash");
    EXPECT_EQ(SourceReader::TitleProblem("tab\there"), "it holds a control character");
    EXPECT_EQ(SourceReader::TitleProblem("del\x7F"), "it holds a control character");
    EXPECT_EQ(SourceReader::TitleProblem("c1\xC2\x85"), "it holds a control character");
    EXPECT_EQ(SourceReader::TitleProblem("latin1 caf\xE9"), "it is not UTF-8 text");
}

TEST(SourceReader, NamesEachFolderWhoseTitleCannotBeUsed) {
    PackScene scene;
    scene.Dummy("back\\slash", "a.otp");
    scene.Dummy("line\nbreak", "a.otp");
    scene.Dummy("Fine", "a.otp");
    SourceReader::Result const read = SourceReader::Read(scene.Source());
    ASSERT_EQ(read.problems.size(), 2u);
    EXPECT_TRUE(Mentions(read.problems, "back\\slash: the title cannot form the pictures' file "
                                        "names: it holds a backslash"));
    EXPECT_TRUE(Mentions(read.problems, "line\nbreak: the title cannot form the pictures' file "
                                        "names: it holds a control character"));
}

} // namespace
} // namespace slidevane::test
