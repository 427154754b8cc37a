// The registry file a pack is recorded in, read back through the program's own store, catalogue
// and picture-name scheme: what the program reads must name the files the pack has.
#include "PackRegistryFile.h"

#include "PackPictures.h"
#include "PackScene.h"
#include "adapters/posix/NativePath.h"
#include "adapters/posix/RegistryFileStore.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Module1.h"
#include "catalogue/PictureNames.h"
#include "platform/RuntimeError.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sys/stat.h>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;

// Titles that go through the file's quoting and the store's UTF-8 unchanged: accents in both
// Unicode forms, an ampersand, quotes, spaces at the ends, a letter beyond the first plane.
const std::vector<std::string> StrangeTitles = {"Caf\xC3\xA9 & Co", "Cafe\xCC\x81 composed",
                                                "Say \"Hi\"", " spaced ", "Notes \xF0\x9D\x84\x9E"};

PackPlan PlanOf(const std::vector<std::string>& titles) {
    PackPlan plan;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        PackCategory category;
        category.index = static_cast<int>(i);
        category.title = titles[i];
        int const count = static_cast<int>(i % 3) + 1;
        for (int number = 1; number <= count; ++number) {
            category.templates.push_back(
                {number, "unused", std::to_string(i) + "-" + std::to_string(number) + ".otp"});
        }
        plan.categories.push_back(category);
    }
    return plan;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class RegistryFileOfAPack : public testing::Test {
protected:
    void Record(const PackPlan& plan, const fs::path& file) {
        PackRegistryFile::Write(file, PackRegistryFile::Text(pack.string(), plan));
    }

    PackScene scene;
    fs::path const pack = scene.Out() / "My Pack";
};

TEST_F(RegistryFileOfAPack, TheProgramReadsEveryTitleAndTemplateAsTheFolderNamesThem) {
    fs::path const file = scene.Out() / "pack.reg";
    PackPlan const plan = PlanOf(StrangeTitles);
    Record(plan, file);

    RegistryFileStore store({file});
    Module1 module1(store);
    Catalogue catalogue(module1);
    EXPECT_EQ(catalogue.GetDefaultPath(), pack.string() + "\\UI\\");
    EXPECT_EQ(catalogue.GetDefaultTemplatePath(), pack.string() + "\\TEMPLATE\\");
    for (std::int16_t index = 0; index < 10; ++index) {
        std::string const expected =
            index < static_cast<int>(StrangeTitles.size()) ? StrangeTitles[index] : "";
        EXPECT_EQ(catalogue.GetIndexTitle(index), expected) << "category " << index;
        for (std::int16_t number = 1; number <= 3; ++number) {
            std::string name;
            bool const found = catalogue.LookupTemplateFile(name, index, number);
            const PackTemplate* entry =
                index < static_cast<int>(plan.categories.size())
                    ? plan.categories[static_cast<std::size_t>(index)].Template(number)
                    : nullptr;
            ASSERT_EQ(found, entry != nullptr) << index << "/" << number;
            if (entry != nullptr) {
                EXPECT_EQ(name, entry->packName + std::string(1, '\0'));
            }
        }
    }
}

TEST_F(RegistryFileOfAPack, PicturesTheProgramAsksForAreTheFilesThePackHas) {
    fs::path const file = scene.Out() / "pack.reg";
    Record(PlanOf(StrangeTitles), file);
    fs::create_directories(pack / "UI");
    PackPictures const pictures(pack / "UI");

    RegistryFileStore store({file});
    Module1 module1(store);
    Catalogue catalogue(module1);
    NativePath const paths("/nonexistent/dosdevices");
    for (std::int16_t index = 0; index < 10; ++index) {
        std::string const title = catalogue.GetIndexTitle(index);
        std::string const asked = PictureNames::Strip(catalogue.GetDefaultPath(), title, 'b');
        fs::path const made = pictures.Strip(index < 5 ? StrangeTitles[index] : "", 'b');
        std::ofstream(made) << "x";
        NativePath::Resolution const resolved = paths.resolve(asked);
        ASSERT_EQ(resolved.status, NativePath::Status::Found) << asked;
        EXPECT_EQ(fs::path(resolved.path), made);
        std::string const preview =
            PictureNames::Preview(catalogue.GetDefaultPath(), title, 'c', 6);
        std::ofstream(pictures.Preview(index < 5 ? StrangeTitles[index] : "", 'c', 3)) << "x";
        EXPECT_EQ(paths.resolve(preview).status, NativePath::Status::Found) << preview;
    }
}

TEST_F(RegistryFileOfAPack, NothingOfAnEarlierPackMixesIn) {
    // An earlier pack with ten full categories, read before this one.
    fs::path const folder = scene.Out() / "registry.d";
    fs::create_directories(folder);
    std::vector<std::string> earlier;
    for (int i = 0; i < 10; ++i) {
        earlier.push_back("Earlier " + std::to_string(i));
    }
    PackPlan full = PlanOf(earlier);
    for (PackCategory& category : full.categories) {
        category.templates = {{1, "", "e1.pot"}, {2, "", "e2.pot"}, {3, "", "e3.pot"}};
    }
    PackRegistryFile::Write(folder / "10-earlier.reg",
                            PackRegistryFile::Text("/elsewhere/earlier", full));
    Record(PlanOf({"One", "Two"}), folder / "20-ours.reg");

    RegistryFileStore store({folder});
    Module1 module1(store);
    Catalogue catalogue(module1);
    EXPECT_EQ(catalogue.InstallFolder(), pack.string());
    EXPECT_EQ(catalogue.GetIndexTitle(1), "Two");
    EXPECT_EQ(catalogue.GetIndexTitle(2), "") << "not Earlier 2";
    std::string name;
    EXPECT_TRUE(catalogue.LookupTemplateFile(name, 1, 2));
    EXPECT_FALSE(catalogue.LookupTemplateFile(name, 1, 3)) << "e3.pot of the earlier pack";
    EXPECT_FALSE(catalogue.LookupTemplateFile(name, 7, 1));
}

TEST_F(RegistryFileOfAPack, TheFileDeletesTheCatalogueFirstInTheEditorsFormat) {
    std::string const text = PackRegistryFile::Text("/p/Say \"x\"", PlanOf({"A"}));
    std::string const head =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0]\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0]\r\n"
        "\"PresentPath\"=\"/p/Say \\\"x\\\"\"\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.find("[-", head.size()), std::string::npos) << "one deletion, at the start";
    EXPECT_EQ(PackRegistryFile::Quoted("a\\b\"c"), "\"a\\\\b\\\"c\"");
}

TEST_F(RegistryFileOfAPack, WritingReplacesTheFileWholeAndLeavesNothingElse) {
    fs::path const file = scene.Out() / "pack.reg";
    std::ofstream(file) << "old";
    Record(PlanOf({"A"}), file);
    EXPECT_EQ(ReadAll(file), PackRegistryFile::Text(pack.string(), PlanOf({"A"})));
    EXPECT_EQ(PackScene::Listing(scene.Out()), std::vector<std::string>{"pack.reg"});
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    mode_t const mask = umask(0);
    umask(mask);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);

    EXPECT_THROW(PackRegistryFile::Write(scene.Out() / "missing" / "pack.reg", "x"),
                 std::runtime_error);
    EXPECT_EQ(PackScene::Listing(scene.Out()), std::vector<std::string>{"pack.reg"});
}

// The file goes where the program reads: into the folder the program's default search list
// ends with, whatever XDG_DATA_HOME holds; a relative or empty value counts for neither.
TEST_F(RegistryFileOfAPack, DefaultPlaceIsTheFolderTheProgramReads) {
    struct Case {
        std::optional<std::string> dataHome;
        std::string folder;
    };
    std::string const own = "/home/someone/.local/share/slidevane3/registry.d";
    std::map<std::string, std::optional<std::string>> saved;
    for (const char* name : {"XDG_DATA_HOME", "HOME", "SLIDEVANE3_REGISTRY"}) {
        char const* value = std::getenv(name);
        saved[name] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
    setenv("HOME", "/home/someone", 1);
    unsetenv("SLIDEVANE3_REGISTRY");
    for (const Case& each : {Case{"/data/home", "/data/home/slidevane3/registry.d"}, Case{"", own},
                             Case{std::nullopt, own}, Case{"data/home", own}, Case{"./data", own},
                             Case{"~/data", own}}) {
        if (each.dataHome) {
            setenv("XDG_DATA_HOME", each.dataHome->c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
        std::string const named = each.dataHome.value_or("(unset)");
        EXPECT_EQ(PackRegistryFile::DefaultLocation("/x/My Pack"),
                  fs::path(each.folder) / "My Pack.reg")
            << named;
        EXPECT_EQ(RegistryFileStore::defaultSearchList().back().path, fs::path(each.folder))
            << named;
    }
    for (const auto& [name, value] : saved) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
}

TEST_F(RegistryFileOfAPack, KnowsWhichPackAFileRecords) {
    fs::path const file = scene.Out() / "pack.reg";
    Record(PlanOf({"A"}), file);
    EXPECT_EQ(PackRegistryFile::RecordedFolder(file), pack.string());
    std::ofstream(scene.Out() / "other.reg") << "Windows Registry Editor Version 5.00\r\n";
    EXPECT_EQ(PackRegistryFile::RecordedFolder(scene.Out() / "other.reg"), std::nullopt);
}

} // namespace
} // namespace slidevane::test
