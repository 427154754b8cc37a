#include "KeyRedirect.h"
#include "WineHost.h"
#include "catalogue/Catalogue.h"
#include "platform/RuntimeError.h"

// After the core: <windows.h> defines macros named like the core's registry constants.
#include "adapters/win32/Win32Registry.h"
#include "adapters/win32/WindowsApi.h"

#include <functional>
#include <gtest/gtest.h>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

constexpr const char* CasesKey = "SOFTWARE\\Slidevane3 Tests\\";

// Every case of catalogue-cases.reg, read through the real Catalogue and Module1 over advapi32.
class Win32RegistryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Into the 32-bit view, as the pack's 32-bit installer writes it.
        std::string const command =
            "reg.exe import \"" + TestData() + "registry\\catalogue-cases.reg\" /reg:32";
        ASSERT_EQ(RunProgram(command), 0) << command;
    }

    // A catalogue that reads the case's key in place of the installed pack's.
    struct CaseCatalogue {
        explicit CaseCatalogue(const std::string& name)
            : redirect(registry, Catalogue::CatalogueKey, CasesKey + name + "\\") {}
        Win32Registry registry;
        KeyRedirect redirect;
        Module1 module1{redirect};
        Catalogue catalogue{module1};
    };

    static int ErrorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const RuntimeError& error) {
            return error.Number();
        }
        return 0;
    }
};

TEST_F(Win32RegistryTest, FoldersComeFromTheInstallFolderAsStored) {
    CaseCatalogue installed("Installed");
    EXPECT_EQ(installed.catalogue.GetDefaultPath(), "C:\\Pack\\UI\\");
    EXPECT_EQ(installed.catalogue.GetDefaultTemplatePath(), "C:\\Pack\\TEMPLATE\\");

    CaseCatalogue trailing("TrailingBackslash");
    EXPECT_EQ(trailing.catalogue.GetDefaultPath(), "C:\\Pack\\\\UI\\");

    // Stored without its NUL: every character is kept.
    CaseCatalogue unterminated("Unterminated");
    EXPECT_EQ(unterminated.catalogue.GetDefaultPath(), "C:\\Pack\\UI\\");

    CaseCatalogue number("Number");
    EXPECT_EQ(number.catalogue.GetDefaultPath(), "1234\\UI\\");
    CaseCatalogue shortBinary("ShortBinary");
    EXPECT_EQ(shortBinary.catalogue.GetDefaultPath(), "4660\\UI\\");
}

TEST_F(Win32RegistryTest, UnreadableInstallFoldersRaiseTheirErrors) {
    CaseCatalogue expandable("Expandable");
    EXPECT_EQ(ErrorOf([&] { expandable.catalogue.GetDefaultPath(); }), 17);
    CaseCatalogue longBinary("LongBinary");
    EXPECT_EQ(ErrorOf([&] { longBinary.catalogue.GetDefaultTemplatePath(); }), 17);
    CaseCatalogue noValue("NoValue");
    EXPECT_EQ(ErrorOf([&] { noValue.catalogue.GetDefaultPath(); }), 17);
    CaseCatalogue absent("Absent");
    EXPECT_EQ(ErrorOf([&] { absent.catalogue.GetDefaultPath(); }), 17);
    CaseCatalogue empty("EmptyText");
    EXPECT_EQ(ErrorOf([&] { empty.catalogue.GetDefaultPath(); }), 5);

    // Every key opened was closed again, the failed reads included.
    for (CaseCatalogue* one : {&expandable, &longBinary, &noValue, &absent, &empty}) {
        EXPECT_EQ(one->redirect.openHandles, 0);
    }
}

TEST_F(Win32RegistryTest, TitlesAndTemplatesReadAsTheLinuxStoreReadsThem) {
    CaseCatalogue installed("Installed");
    Catalogue& catalogue = installed.catalogue;
    EXPECT_EQ(catalogue.GetIndexTitle(0), "Celebration");
    EXPECT_EQ(catalogue.GetIndexTitle(4), "Annual Report");
    EXPECT_EQ(catalogue.GetIndexTitle(7), "Caf\xe9"); // ANSI text comes back byte for byte
    EXPECT_EQ(ErrorOf([&] { catalogue.GetIndexTitle(5); }), 5);
    EXPECT_EQ(ErrorOf([&] { catalogue.GetIndexTitle(6); }), 17);

    std::string file = "left over";
    EXPECT_TRUE(catalogue.LookupTemplateFile(file, 7, 3));
    EXPECT_EQ(file, std::string("Blue.pot\0", 9));
    EXPECT_TRUE(catalogue.LookupTemplateFile(file, 7, 1));
    EXPECT_EQ(file, std::string("\0", 1));
    EXPECT_FALSE(catalogue.LookupTemplateFile(file, 7, 2));
    EXPECT_EQ(file, "");
    file = "left over";
    EXPECT_FALSE(catalogue.LookupTemplateFile(file, 8, 1));
    EXPECT_EQ(file, "");
    EXPECT_EQ(installed.redirect.openHandles, 0);
}

TEST_F(Win32RegistryTest, KeysAreReadFromThe32BitView) {
    std::string const path = std::string(CasesKey) + "Installed";
    ::HKEY native = nullptr;
    // A 64-bit program's own view does not hold what the 32-bit installer wrote...
    EXPECT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &native),
              ERROR_FILE_NOT_FOUND);
    // ...the adapter's reads see it, with the core's spelling of the predefined key.
    Win32Registry registry;
    win::HKEY key = nullptr;
    ASSERT_EQ(
        registry.RegOpenKeyExA(win::PredefinedKey(0x80000002u), path.c_str(), 0, 0x20019, &key), 0);
    EXPECT_NE(key, nullptr);
    EXPECT_EQ(registry.RegCloseKey(key), 0);
}

TEST_F(Win32RegistryTest, StatusCodesAndSizesAreAdvapi32s) {
    Win32Registry registry;
    win::HKEY const machine = win::PredefinedKey(0x80000002u);
    std::string const path = std::string(CasesKey) + "Installed\\INDEX";
    win::HKEY key = win::PredefinedKey(1);
    EXPECT_EQ(registry.RegOpenKeyExA(machine, (std::string(CasesKey) + "Absent").c_str(), 0,
                                     0x20019, &key),
              2);
    EXPECT_EQ(key, nullptr); // a failed open clears the handle
    EXPECT_EQ(registry.RegOpenKeyExA(machine, ("\\" + path).c_str(), 0, 0x20019, &key), 161);
    ASSERT_EQ(registry.RegOpenKeyExA(machine, path.c_str(), 0, 0x20019, &key), 0);

    win::DWORD type = 99;
    win::DWORD size = 0;
    EXPECT_EQ(registry.RegQueryValueExA(key, "4", nullptr, &type, nullptr, &size), 0);
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(size, 14u); // "Annual Report" and its NUL

    win::BYTE small[4] = {};
    size = sizeof small;
    EXPECT_EQ(registry.RegQueryValueExA(key, "4", nullptr, &type, small, &size), 234);
    EXPECT_EQ(size, 14u);

    // A failed query leaves type and size as advapi32 itself leaves them.
    type = 99;
    size = 7;
    EXPECT_EQ(registry.RegQueryValueExA(key, "absent", nullptr, &type, nullptr, &size), 2);
    ::DWORD nativeType = 99;
    ::DWORD nativeSize = 7;
    ::RegQueryValueExA(reinterpret_cast<::HKEY>(key), "absent", nullptr, &nativeType, nullptr,
                       &nativeSize);
    EXPECT_EQ(type, nativeType);
    EXPECT_EQ(size, nativeSize);
    EXPECT_EQ(registry.RegCloseKey(key), 0);

    EXPECT_EQ(registry.RegQueryValueExA(nullptr, "4", nullptr, &type, nullptr, &size), 6);
    EXPECT_EQ(registry.RegCloseKey(nullptr), 6);
}

} // namespace
