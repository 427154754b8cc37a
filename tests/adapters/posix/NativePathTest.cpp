#include "adapters/posix/NativePath.h"

#include "HangGuard.h"
#include "TempFolder.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace slidevane {
namespace {

using test::TempFolder;
using Status = NativePath::Status;
namespace fs = std::filesystem;
using namespace std::string_literals;

// A Wine-like prefix: dosdevices/c: links to drive_c, which holds a pack copied from media
// in capitals.
class NativePathTest : public ::testing::Test {
protected:
    NativePathTest() {
        temp.write("prefix/drive_c/Norvale/PACK/TEMPLATE/Slide 1.POT", "pot");
        temp.write("prefix/drive_c/Norvale/PACK/Pictures/\xC3\x9C"
                   "ber.GIF",
                   "gif");
        temp.makeFolder("prefix/dosdevices");
        fs::create_directory_symlink("../drive_c", temp / "prefix/dosdevices/c:");
    }

    TempFolder temp;
    NativePath paths{temp / "prefix/dosdevices"};
    std::string driveC() const { return temp / "prefix/dosdevices/c:"; }
};

TEST_F(NativePathTest, ExactPathsThroughTheDriveLink) {
    const auto r = paths.resolve("C:\\Norvale\\PACK\\TEMPLATE\\Slide 1.POT");
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_EQ(r.path, driveC() + "/Norvale/PACK/TEMPLATE/Slide 1.POT");
    EXPECT_EQ(paths.resolve("c:\\Norvale\\PACK\\TEMPLATE\\Slide 1.POT").status, Status::Found);
}

TEST_F(NativePathTest, ComponentsMatchCaseInsensitively) {
    auto r = paths.resolve("C:\\norvale\\Pack\\template\\slide 1.pot");
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_EQ(r.path, driveC() + "/Norvale/PACK/TEMPLATE/Slide 1.POT");
    r = paths.resolve("C:\\Norvale\\Pack\\PICTURES\\\xC3\xBC"
                      "ber.gif");
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_EQ(r.path, driveC() + "/Norvale/PACK/Pictures/\xC3\x9C"
                                 "ber.GIF");
}

TEST_F(NativePathTest, ExactSpellingWinsThenTheFirstInByteOrder) {
    temp.write("prefix/drive_c/Norvale/pack/TEMPLATE/Slide 1.POT", "lower");
    temp.write("prefix/drive_c/Norvale/Pack/TEMPLATE/Slide 1.POT", "mixed");
    EXPECT_EQ(paths.resolve("C:\\Norvale\\Pack\\TEMPLATE\\Slide 1.POT").path,
              driveC() + "/Norvale/Pack/TEMPLATE/Slide 1.POT");
    EXPECT_EQ(paths.resolve("C:\\Norvale\\pACK\\TEMPLATE\\Slide 1.POT").path,
              driveC() + "/Norvale/PACK/TEMPLATE/Slide 1.POT");
}

TEST_F(NativePathTest, ANulEndsThePath) {
    const std::string withNul = "C:\\Norvale\\PACK\\TEMPLATE\\Slide 1.POT\0junk\\more"s;
    const auto r = paths.resolve(withNul);
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_EQ(r.path, driveC() + "/Norvale/PACK/TEMPLATE/Slide 1.POT");
}

TEST_F(NativePathTest, MissingFileIs53AndMissingFolderIs76) {
    auto r = paths.resolve("C:\\Norvale\\PACK\\TEMPLATE\\Slide 9.POT");
    EXPECT_EQ(r.status, Status::FileMissing);
    EXPECT_EQ(static_cast<int>(r.status), 53);
    EXPECT_EQ(r.path, driveC() + "/Norvale/PACK/TEMPLATE/Slide 9.POT");
    r = paths.resolve("C:\\Norvale\\PACK\\NOPE\\Slide 1.POT");
    EXPECT_EQ(r.status, Status::FolderMissing);
    EXPECT_EQ(static_cast<int>(r.status), 76);
    // A file where a folder should be is a missing folder.
    EXPECT_EQ(paths.resolve("C:\\Norvale\\PACK\\TEMPLATE\\Slide 1.POT\\x").status,
              Status::FolderMissing);
    EXPECT_EQ(paths.resolve("").status, Status::FileMissing);
}

TEST_F(NativePathTest, FolderPathsEndingInASeparator) {
    auto r = paths.resolve("C:\\norvale\\pack\\");
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_EQ(r.path, driveC() + "/Norvale/PACK/");
    EXPECT_EQ(paths.resolve("C:\\Norvale\\PACK\\Gone\\").status, Status::FolderMissing);
    EXPECT_EQ(paths.resolve("C:\\Norvale\\PACK\\TEMPLATE\\Slide 1.POT\\").status,
              Status::FolderMissing);
}

TEST_F(NativePathTest, DriveLettersWithoutALink) {
    EXPECT_EQ(paths.resolve("D:\\anything").status, Status::FolderMissing);
    // Z: is the root folder when the prefix has no link for it.
    std::string native = temp / "prefix/drive_c/Norvale/PACK/TEMPLATE/Slide 1.POT";
    std::string windows = "Z:" + native;
    for (char& c : windows) {
        c = c == '/' ? '\\' : c;
    }
    auto r = paths.resolve(windows);
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_EQ(r.path, native);
    // With a link, Z: goes where the link points.
    fs::create_directory_symlink(temp / "prefix/drive_c/Norvale", temp / "prefix/dosdevices/z:");
    r = paths.resolve("Z:\\pack\\template\\slide 1.pot");
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_EQ(r.path, temp / "prefix/dosdevices/z:/PACK/TEMPLATE/Slide 1.POT");
}

TEST_F(NativePathTest, NativeAbsolutePathsAndTheEnvironment) {
    const auto r = paths.resolve(temp / "prefix/drive_c/norvale/pack/template/SLIDE 1.pot");
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_EQ(r.path, temp / "prefix/drive_c/Norvale/PACK/TEMPLATE/Slide 1.POT");

    const char* old = std::getenv("WINEPREFIX");
    const std::string saved = old ? old : "";
    ::setenv("WINEPREFIX", (temp / "prefix").c_str(), 1);
    const NativePath fromEnv = NativePath::fromEnvironment();
    old ? ::setenv("WINEPREFIX", saved.c_str(), 1) : ::unsetenv("WINEPREFIX");
    EXPECT_EQ(fromEnv.dosDevices(), temp / "prefix/dosdevices");
    EXPECT_EQ(fromEnv.resolve("C:\\NORVALE\\PACK\\TEMPLATE\\Slide 1.POT").status, Status::Found);
}

// The time limit only guards against a hang (HangGuard.h); the figures are in bench/registry.
TEST_F(NativePathTest, TensOfThousandsOfComponentsCostLinearTime) {
    std::string missing;
    for (int i = 0; i < 60000; ++i) {
        missing += "\\x";
    }
    // Every component exists, but the native path would outgrow what the system can open.
    std::string existing = "C:";
    for (int i = 0; i < 30000; ++i) {
        existing += "\\Norvale\\..";
    }
    const auto start = std::chrono::steady_clock::now();
    // As often as a few pointer moves load pictures.
    for (int i = 0; i < 10; ++i) {
        auto r = paths.resolve(missing + "\\file.gif");
        EXPECT_EQ(r.status, Status::FolderMissing);
        EXPECT_EQ(r.path.size(), 120009u);
        r = paths.resolve(existing + "\\Norvale\\PACK\\TEMPLATE\\Slide 1.POT");
        EXPECT_EQ(r.status, Status::FolderMissing);
        // The same with case to match at every step.
        r = paths.resolve(existing + "\\norvale\\pack\\template\\slide 1.pot");
        EXPECT_EQ(r.status, Status::FolderMissing);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, test::kHangGuard);

    // Short enough, the same steps resolve.
    std::string some = "C:";
    for (int i = 0; i < 100; ++i) {
        some += "\\norvale\\..";
    }
    const auto r = paths.resolve(some + "\\norvale\\pack\\template\\slide 1.pot");
    EXPECT_EQ(r.status, Status::Found);
    EXPECT_LT(r.path.size(), std::size_t{PATH_MAX});
    EXPECT_TRUE(fs::is_regular_file(r.path));
}

} // namespace
} // namespace slidevane
