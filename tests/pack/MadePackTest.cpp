// The pack made once per test run by slidevane3-pack against a real office (pack_fixture), from
// the tests' own templates and the two the presentation application wrote: what the run said,
// what it wrote and nothing else, every picture at its designed size, the previews as a
// double-click gives them, and slidevane3-check's verdict.
#include "GifImage.h"
#include "MadeSource.h"
#include "PackRegistryFile.h"
#include "PackScene.h"
#include "TemplateFixtures.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;
using Colour = GifImage::Colour;

constexpr Colour Panel{19, 62, 105};
constexpr Colour Highlight{255, 208, 64};
constexpr Colour MastersGreen{204, 255, 204};

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

Colour Teal() {
    std::int32_t const rgb = testing::TemplateFixtures::FirstMasterColour;
    return {(rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF};
}

class MadePack : public ::testing::Test {
protected:
    MadePack() : scene(Folder()), layout(MadeSource::Layout("unused", "unused")) {}

    static fs::path Folder() {
        char const* folder = std::getenv("SLIDEVANE3_MADE_PACK");
        return folder != nullptr ? fs::path(folder) : fs::path();
    }
    void SetUp() override {
        ASSERT_FALSE(Folder().empty()) << "SLIDEVANE3_MADE_PACK names no made pack";
        std::ifstream(Folder() / "outcome") >> exitCode >> signal;
        ASSERT_EQ(exitCode, 0) << "the pack was not made:\n" << ReadAll(Folder() / "stderr");
    }
    fs::path Ui(const std::string& name) const { return scene.Dest() / "UI" / name; }
    fs::path Strip(const std::string& title, char look) const {
        return Ui("b_" + title + "-" + look + ".gif");
    }
    fs::path Preview(const std::string& title, char look, int number) const {
        return Ui("p_" + title + "-" + look + std::to_string(number + 3) + ".gif");
    }

    PackScene scene;
    std::vector<MadeSource::Category> const layout;
    int exitCode = -1;
    int signal = -1;
};

TEST_F(MadePack, TheRunCountedEveryTemplateAndNamedWhatItPassedOver) {
    std::string const out = ReadAll(Folder() / "stdout");
    std::string const err = ReadAll(Folder() / "stderr");
    int number = 0;
    for (const MadeSource::Category& category : layout) {
        for (const MadeSource::Template& entry : category.templates) {
            std::string const line =
                "[" + std::to_string(++number) + "/8] " + category.title + "/" + entry.name + "\n";
            EXPECT_NE(out.find(line), std::string::npos) << line << "missing from:\n" << out;
        }
    }
    EXPECT_NE(out.find("Made the pack " + scene.Dest().string() + ": 5 categories, 8 templates"),
              std::string::npos)
        << out;
    EXPECT_NE(err.find(MadeSource::NotATemplate + std::string(": passed over: not a template")),
              std::string::npos)
        << err;
    EXPECT_NE(err.find(std::string(MadeSource::Empty) + ": holds no templates"), std::string::npos);
}

TEST_F(MadePack, WroteThePackAndItsRecordAndNothingElse) {
    EXPECT_EQ(PackScene::Listing(scene.Out()), std::vector<std::string>{"pack"});
    EXPECT_EQ(PackScene::Listing(scene.Dest()), (std::vector<std::string>{"TEMPLATE", "UI"}));
    EXPECT_EQ(PackScene::Listing(scene.DefaultRegistry().parent_path()),
              std::vector<std::string>{"pack.reg"});
    EXPECT_TRUE(PackScene::Listing(scene.Temp()).empty()) << PackScene::Listing(scene.Temp())[0];
    EXPECT_TRUE(PackScene::Listing(scene.Home()).empty()) << PackScene::Listing(scene.Home())[0];
    EXPECT_TRUE(scene.ProcessesOfTheRun().empty()) << "the office of the run is still there";
    pid_t pid = 0;
    std::ifstream(Folder() / "pid") >> pid;
    EXPECT_TRUE(PackScene::PipesLeftBy(pid).empty()) << PackScene::PipesLeftBy(pid)[0];
}

TEST_F(MadePack, TheTemplatesAreCopiedUnderTheNamesTheCatalogueGives) {
    std::set<std::string> expected;
    for (std::size_t index = 0; index < layout.size(); ++index) {
        for (std::size_t i = 0; i < layout[index].templates.size(); ++i) {
            std::string const& name = layout[index].templates[i].name;
            std::string extension = fs::path(name).extension().string();
            for (char& c : extension) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            std::string const copy =
                std::to_string(index) + "-" + std::to_string(i + 1) + extension;
            expected.insert(copy);
            EXPECT_EQ(ReadAll(scene.Dest() / "TEMPLATE" / copy),
                      ReadAll(scene.Source() / layout[index].title / name))
                << copy;
        }
    }
    auto const listed = PackScene::Listing(scene.Dest() / "TEMPLATE");
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), expected);
}

TEST_F(MadePack, SlidevaneCheckFindsEverythingTheProgramNeeds) {
    UserProgram::Result const check = UserProgram::Run(
        {SLIDEVANE3_CHECK},
        UserEnvironment::FromSession().Set("SLIDEVANE3_REGISTRY", scene.DefaultRegistry()),
        std::chrono::seconds(60));
    std::string const& report = check.output;
    EXPECT_TRUE(check.outcome.Succeeded()) << check.outcome.Describe() << "\n" << report;
    EXPECT_NE(report.find("Nothing the program needs is missing or unusable."), std::string::npos)
        << report;
    EXPECT_NE(report.find("Install folder:  " + scene.Dest().string() + "\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find("  3  Zebra\n"), std::string::npos) << report;
}

TEST_F(MadePack, EveryPictureHasItsDesignedSizeAndNoneIsMissingOrExtra) {
    std::set<std::string> expected = {"www-1.gif", "www-2.gif"};
    std::vector<std::string> titles;
    for (const MadeSource::Category& category : layout) {
        titles.push_back(category.title);
    }
    titles.push_back(""); // the unused categories' title
    for (std::size_t index = 0; index < titles.size(); ++index) {
        std::string const& title = titles[index];
        for (char look : {'a', 'b', 'c'}) {
            expected.insert("b_" + title + "-" + look + ".gif");
        }
        for (int number = 1; number <= 3; ++number) {
            std::string const n = std::to_string(number + 3);
            expected.insert("p_" + title + "-a" + n + ".gif");
            expected.insert("p_" + title + "-c" + n + ".gif");
            if (index < layout.size() &&
                static_cast<std::size_t>(number) <= layout[index].templates.size()) {
                expected.insert("p_" + title + "-b" + n + ".gif");
            }
        }
    }
    auto const listed = PackScene::Listing(scene.Dest() / "UI");
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), expected);
    for (const std::string& name : listed) {
        GifImage const picture(Ui(name));
        std::pair<int, int> size;
        if (name.starts_with("b_")) {
            size = {88, 17};
        } else if (name.starts_with("www-")) {
            size = {184, 18};
        } else if (name[name.size() - 6] == 'c') {
            size = {158, 121};
        } else {
            size = {72, 48};
        }
        EXPECT_EQ(std::make_pair(picture.Width(), picture.Height()), size) << name;
    }
}

TEST_F(MadePack, TheLargePreviewOfSlideMastersShowsItsGreenMaster) {
    // slide-masters.pot is the second template of its category.
    GifImage const large(Preview(MadeSource::Masters, 'c', 2));
    EXPECT_EQ(large.At(79, 60), MastersGreen) << ToString(large.At(79, 60));
    EXPECT_EQ(large.At(12, 10), MastersGreen) << ToString(large.At(12, 10));
    GifImage const highlighted(Preview(MadeSource::Masters, 'b', 2));
    EXPECT_EQ(highlighted.At(36, 24), MastersGreen);
    EXPECT_EQ(highlighted.At(5, 24), Highlight) << "the highlight ring";
    GifImage const normal(Preview(MadeSource::Masters, 'a', 2));
    EXPECT_EQ(normal.At(36, 24), MastersGreen);
    EXPECT_NE(normal.At(5, 24), Highlight);
}

TEST_F(MadePack, PreviewsShowTheDesignADoubleClickGivesInTheSlidesProportions) {
    // The tests' own design is wide (16:9) with a teal first master: the slide fills the width
    // of the cell and the panel shows above and below it.
    for (int number : {1, 2}) {
        GifImage const large(Preview(MadeSource::Cafe, 'c', number));
        EXPECT_EQ(large.At(79, 60), Teal()) << number << ": " << ToString(large.At(79, 60));
        EXPECT_EQ(large.At(79, 5), Panel) << number << ": " << ToString(large.At(79, 5));
        EXPECT_EQ(large.At(79, 116), Panel) << number;
    }
    // Presentations used as templates give the same design.
    for (int number : {1, 2, 3}) {
        GifImage const large(Preview(MadeSource::Quoted, 'c', number));
        EXPECT_EQ(large.At(79, 60), Teal()) << number << ": " << ToString(large.At(79, 60));
    }
}

TEST_F(MadePack, AbsentTemplatesShowTheSamplePacksNotInstalledPictures) {
    // The sample pack's Brain Storming category has no first template.
    fs::path const sample = fs::path(SLIDEVANE3_SAMPLE_PACK) / "UI";
    auto same = [](const fs::path& a, const fs::path& b) {
        GifImage const x(a);
        GifImage const y(b);
        for (int j = 0; j < x.Height(); ++j) {
            for (int i = 0; i < x.Width(); ++i) {
                if (!(x.At(i, j) == y.At(i, j))) {
                    return false;
                }
            }
        }
        return x.Width() == y.Width() && x.Height() == y.Height();
    };
    for (int number : {2, 3}) {
        EXPECT_TRUE(
            same(Preview(MadeSource::Zebra, 'a', number), sample / "p_Brain Storming-a4.gif"))
            << number;
        EXPECT_TRUE(
            same(Preview(MadeSource::Zebra, 'c', number), sample / "p_Brain Storming-c4.gif"))
            << number;
    }
    EXPECT_TRUE(same(Preview(MadeSource::Empty, 'c', 1), sample / "p_Brain Storming-c4.gif"));
}

TEST_F(MadePack, UnusedCategoriesHaveBlankButtonsAndAnEmptyPane) {
    std::string const registry = ReadAll(scene.DefaultRegistry());
    for (int index = 5; index <= 9; ++index) {
        EXPECT_NE(registry.find("\"" + std::to_string(index) + "\"=\"\"\r\n"), std::string::npos)
            << index;
    }
    // A bar with no title: every row is one colour.
    for (char look : {'a', 'b', 'c'}) {
        GifImage const blank(Strip("", look));
        GifImage const titled(Strip(MadeSource::Zebra, look));
        int const x = look == 'c' ? 20 : 0; // the current look's marker is at the left
        bool blankRows = true;
        bool titledRows = true;
        for (int y = 0; y < 17; ++y) {
            for (int i = x; i < 88; ++i) {
                blankRows = blankRows && blank.At(i, y) == blank.At(x, y);
                titledRows = titledRows && titled.At(i, y) == titled.At(x, y);
            }
        }
        EXPECT_TRUE(blankRows) << look;
        EXPECT_FALSE(titledRows) << look << ": the titled button shows no title";
    }
    for (int number = 1; number <= 3; ++number) {
        for (char look : {'a', 'c'}) {
            GifImage const empty(Preview("", look, number));
            bool panelOnly = true;
            for (int y = 0; y < empty.Height(); ++y) {
                for (int x = 0; x < empty.Width(); ++x) {
                    panelOnly = panelOnly && empty.At(x, y) == Panel;
                }
            }
            EXPECT_TRUE(panelOnly) << look << number;
        }
    }
}

TEST_F(MadePack, TheRegistryFileDeletesTheCatalogueAndNamesThePackByItsFullPath) {
    std::string const registry = ReadAll(scene.DefaultRegistry());
    EXPECT_EQ(registry.find("Windows Registry Editor Version 5.00\r\n\r\n"
                            "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0]\r\n"),
              0u);
    EXPECT_EQ(PackRegistryFile::RecordedFolder(scene.DefaultRegistry()), scene.Dest().string());
    EXPECT_NE(registry.find("\"2\"=\"Q&A \\\"Live\\\"\"\r\n"), std::string::npos);
    EXPECT_EQ(registry.find("TEMPLATE\\4]"), std::string::npos) << "the empty category";
}

} // namespace
} // namespace slidevane::test
