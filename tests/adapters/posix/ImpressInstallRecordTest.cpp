#include "FakeRegistry.h"
#include "adapters/posix/ImpressInstallRecord.h"
#include "catalogue/Module1.h"
#include "presentation/PresentationDetector.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace slidevane;
using namespace slidevane::testing;
namespace fs = std::filesystem;

namespace {

// A fake office installation (program folder with its launcher and, optionally, the presentation
// module) and a PATH that reaches it through a link, as a distribution installs it.
class ImpressInstallRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("slidevane3-office-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        program = root / "office" / "program";
        fs::create_directories(program);
        fs::create_directories(root / "bin");
        std::ofstream(program / "soffice") << "#!/bin/sh\n";
        fs::create_symlink(program / "soffice", root / "bin" / "soffice");
        char const* path = std::getenv("PATH");
        savedPath = path ? path : "";
        ::setenv("PATH", (root / "bin").c_str(), 1);
    }

    void TearDown() override {
        ::setenv("PATH", savedPath.c_str(), 1);
        fs::remove_all(root);
    }

    void InstallPresentationModule() { std::ofstream(program / "libslideshowlo.so") << ""; }

    fs::path root, program;
    std::string savedPath;
    FakeRegistry registry;
    ImpressInstallRecord record{registry};
    Module1 module1{record};
};

TEST_F(ImpressInstallRecordTest, AnOfficeWithItsPresentationModuleAnswersVersionNine) {
    EXPECT_FALSE(PresentationDetector::HasInstallRecord(module1, "9.0"));
    InstallPresentationModule();
    EXPECT_TRUE(PresentationDetector::HasInstallRecord(module1, "9.0"));
    EXPECT_FALSE(PresentationDetector::HasInstallRecord(module1, "8.0"));
    RegistryValue const path = module1.GetRegistryString(
        "SOFTWARE\\MICROSOFT\\Office\\9.0\\PowerPoint\\InstallRoot\\", "Path",
        win::HKEY_LOCAL_MACHINE);
    EXPECT_EQ(path.AsText(), (fs::canonical(program).string() + "/") + '\0');
    EXPECT_EQ(registry.openHandles(), 0);
}

TEST_F(ImpressInstallRecordTest, OnlyThePathValueIsAnsweredAndTheRegistryComesFirst) {
    InstallPresentationModule();
    std::string const key = "Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot";
    EXPECT_THROW(module1.GetRegistryString(key, "Other", win::HKEY_LOCAL_MACHINE), std::exception);

    registry.SetText(key, "Path", "C:\\Office\\");
    EXPECT_EQ(module1.GetRegistryString(key, "Path", win::HKEY_LOCAL_MACHINE).AsText(),
              std::string("C:\\Office\\\0", 11));
}

TEST_F(ImpressInstallRecordTest, NoOfficeOnThePathMeansNoRecord) {
    InstallPresentationModule();
    ::setenv("PATH", (root / "nowhere").c_str(), 1);
    EXPECT_FALSE(PresentationDetector::HasInstallRecord(module1, "9.0"));
}

TEST_F(ImpressInstallRecordTest, SyntheticHandleFollowsTheApiOnSizesAndClosing) {
    InstallPresentationModule();
    win::HKEY key = nullptr;
    ASSERT_EQ(record.RegOpenKeyExA(win::HKEY_LOCAL_MACHINE,
                                   "Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot", 0,
                                   win::KEY_READ, &key),
              win::ERROR_SUCCESS);
    win::DWORD type = 0, size = 2;
    win::BYTE small[2];
    EXPECT_EQ(record.RegQueryValueExA(key, "Path", nullptr, &type, small, &size),
              win::ERROR_MORE_DATA);
    EXPECT_EQ(size, fs::canonical(program).string().size() + 2);
    EXPECT_EQ(record.RegQueryValueExA(key, "Path", nullptr, &type, small, nullptr),
              win::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(record.RegCloseKey(key), win::ERROR_SUCCESS);
    EXPECT_EQ(record.RegCloseKey(key), win::ERROR_INVALID_HANDLE);
}

} // namespace
