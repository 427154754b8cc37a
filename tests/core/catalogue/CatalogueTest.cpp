#include "catalogue/Catalogue.h"

#include "CoreFixture.h"
#include "catalogue/PictureNames.h"
#include "platform/RuntimeError.h"

using namespace slidevane;
using namespace slidevane::testing;

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    int ErrorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const RuntimeError& error) {
            return error.Number();
        }
        return 0;
    }

    FakeRegistry registry;
    Module1 module1{registry};
    Catalogue catalogue{module1};
};

TEST_F(CatalogueTest, FoldersAreBuiltFromTheInstallFolderWithTheirFinalBackslash) {
    registry.SetText(CatalogueKey, "PresentPath", "C:\\Pack");
    EXPECT_EQ(catalogue.GetDefaultPath(), "C:\\Pack\\UI\\");
    EXPECT_EQ(catalogue.GetDefaultTemplatePath(), "C:\\Pack\\TEMPLATE\\");

    // A stored trailing backslash is kept: the path is used as built.
    registry.SetText(CatalogueKey, "PresentPath", "C:\\Pack\\");
    EXPECT_EQ(catalogue.GetDefaultPath(), "C:\\Pack\\\\UI\\");
}

TEST_F(CatalogueTest, OnlyAStoredTerminatorIsRemoved) {
    registry.SetText(CatalogueKey, "PresentPath", "C:\\Pack", /*terminated=*/false);
    EXPECT_EQ(catalogue.GetDefaultPath(), "C:\\Pack\\UI\\");

    registry.SetDword(CatalogueKey, "PresentPath", 1234);
    EXPECT_EQ(catalogue.GetDefaultPath(), "1234\\UI\\");

    registry.SetRaw(CatalogueKey, "PresentPath", win::REG_SZ, {});
    EXPECT_EQ(ErrorOf([&] { catalogue.GetDefaultPath(); }), 5);
}

TEST_F(CatalogueTest, UnreadableInstallFolderRaisesError17) {
    EXPECT_EQ(ErrorOf([&] { catalogue.GetDefaultPath(); }), 17);

    registry.SetRaw(CatalogueKey, "PresentPath", win::REG_EXPAND_SZ, {'C', ':', 0});
    EXPECT_EQ(ErrorOf([&] { catalogue.GetDefaultPath(); }), 17);

    // Longer than the 4-byte integer: refused instead of written past it.
    registry.SetRaw(CatalogueKey, "PresentPath", win::REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(ErrorOf([&] { catalogue.GetDefaultTemplatePath(); }), 17);
}

TEST_F(CatalogueTest, KeysAreOpenedForReadingAndAlwaysClosed) {
    registry.SetText(CatalogueKey, "PresentPath", "C:\\Pack");
    catalogue.GetDefaultPath();
    std::string file;
    catalogue.LookupTemplateFile(file, 7, 3);
    EXPECT_EQ(ErrorOf([&] { catalogue.GetIndexTitle(0); }), 17);
    ASSERT_EQ(registry.accessMasks.size(), 3u);
    for (win::REGSAM mask : registry.accessMasks) {
        EXPECT_EQ(mask, win::KEY_READ);
    }
    EXPECT_EQ(registry.openHandles(), 0);
}

TEST_F(CatalogueTest, ReadRegistryValueReportsStatusesAndLeavesTheValueOnRefusal) {
    registry.SetRaw("K", "expand", win::REG_EXPAND_SZ, {'x', 0});
    registry.SetRaw("K", "bin", win::REG_BINARY, {0x34, 0x12});
    registry.SetText("K", "text", "abc");
    win::HKEY key = nullptr;
    ASSERT_EQ(registry.RegOpenKeyExA(win::HKEY_LOCAL_MACHINE, "K", 0, win::KEY_READ, &key), 0);

    RegistryValue value = RegistryValue::Integer(7);
    EXPECT_EQ(module1.ReadRegistryValue(key, "expand", value), -1);
    EXPECT_EQ(value.AsInteger(), 7);
    EXPECT_EQ(module1.ReadRegistryValue(key, "absent", value), win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value.AsInteger(), 7);

    EXPECT_EQ(module1.ReadRegistryValue(key, "bin", value), 0);
    EXPECT_EQ(value.AsInteger(), 0x1234);
    EXPECT_EQ(module1.ReadRegistryValue(key, "text", value), 0);
    EXPECT_EQ(value.AsText(), std::string("abc\0", 4));
    registry.RegCloseKey(key);
}

TEST_F(CatalogueTest, TitlesLoseTheirTerminatorAndMissingOnesRaise) {
    registry.SetText(std::string(CatalogueKey) + "\\INDEX", "4", "Annual Report");
    registry.SetRaw(std::string(CatalogueKey) + "\\INDEX", "5", win::REG_SZ, {});
    EXPECT_EQ(catalogue.GetIndexTitle(4), "Annual Report");
    EXPECT_EQ(ErrorOf([&] { catalogue.GetIndexTitle(5); }), 5);
    EXPECT_EQ(ErrorOf([&] { catalogue.GetIndexTitle(6); }), 17);
}

TEST_F(CatalogueTest, TemplateLookupKeepsTheTerminatorAndTurnsFailuresIntoFalse) {
    std::string const key = std::string(CatalogueKey) + "\\TEMPLATE\\7";
    registry.SetText(key, "3", "Blue.otp");
    registry.SetText(key, "1", "");
    std::string file = "left over";

    EXPECT_TRUE(catalogue.LookupTemplateFile(file, 7, 3));
    EXPECT_EQ(file, std::string("Blue.otp\0", 9));
    EXPECT_TRUE(catalogue.LookupTemplateFile(file, 7, 1));
    EXPECT_EQ(file, std::string("\0", 1));

    EXPECT_FALSE(catalogue.LookupTemplateFile(file, 7, 2));
    EXPECT_EQ(file, "");
    file = "left over";
    EXPECT_FALSE(catalogue.LookupTemplateFile(file, 8, 1)); // the whole category key is absent
    EXPECT_EQ(file, "");
}

TEST(PictureNamesTest, NamesAreConcatenatedAsTheyStand) {
    EXPECT_EQ(PictureNames::Strip("C:\\P\\UI\\", "Annual Report", 'b'),
              "C:\\P\\UI\\b_Annual Report-b.gif");
    EXPECT_EQ(PictureNames::Preview("U\\", "Business", 'a', 4), "U\\p_Business-a4.gif");
    EXPECT_EQ(PictureNames::Preview("U\\", "Business", 'c', 10), "U\\p_Business-c10.gif");
    EXPECT_EQ(PictureNames::Preview("U\\", "B", 'c', -1), "U\\p_B-c-1.gif");
    EXPECT_EQ(PictureNames::WebNormal("U\\"), "U\\www-1.gif");
    EXPECT_EQ(PictureNames::WebHover("U\\"), "U\\www-2.gif");
}

} // namespace
