#include "adapters/posix/WineHiveParser.h"

#include "RegistryProbe.h"
#include "TempFolder.h"
#include "adapters/posix/RegistryFileStore.h"

#include <chrono>
#include <gtest/gtest.h>

namespace slidevane {
namespace {

using test::RegistryProbe;
using test::TempFolder;
using namespace std::string_literals;

const std::string kData = SLIDEVANE3_REGISTRY_DATA;
win::HKEY const HKLM = win::HKEY_LOCAL_MACHINE;
constexpr const char* kTypes = "Software\\RegTest\\Types";

class WineHive : public ::testing::Test {
protected:
    std::vector<std::string> reports;
    RegistryFileStore store{{kData + "/system.reg"},
                            TextCodec::Narrow::Utf8,
                            [this](const std::string& line) { reports.push_back(line); }};

    RegistryProbe::Read read(const char* name, const char* key = kTypes) {
        return RegistryProbe::read(store, HKLM, key, name);
    }
};

TEST_F(WineHive, ValuesAsWineWritesThem) {
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(
        RegistryProbe::text(store, HKLM, "Software\\Norvale Inc.\\Slidevane3\\1.0", "PresentPath"),
        "C:\\Program Files\\Norvale\\Slidevane3\\");
    EXPECT_EQ(read(nullptr).bytes, "default\0"s);
    auto r = read("DwVal");
    EXPECT_EQ(r.type, win::REG_DWORD);
    EXPECT_EQ(r.bytes, "\x78\x56\x34\x12"s);
    r = read("ExpVal");
    EXPECT_EQ(r.type, win::REG_EXPAND_SZ);
    EXPECT_EQ(r.bytes, "%ProgramFiles%\\Foo\0"s);
    r = read("MultiVal");
    EXPECT_EQ(r.type, win::REG_MULTI_SZ);
    EXPECT_EQ(r.bytes, "one\0two\0three\0\0"s);
    r = read("NoneVal");
    EXPECT_EQ(r.type, win::REG_NONE);
    EXPECT_EQ(r.bytes, "a\0b\0c\0\0\0"s); // not a string type: raw bytes
    r = read("QwVal");
    EXPECT_EQ(r.type, win::REG_QWORD);
    EXPECT_EQ(r.bytes, "\x88\x77\x66\x55\x44\x33\x22\x11"s);
    EXPECT_EQ(read("StrTag").bytes, "plain\0"s);
    EXPECT_EQ(read("Lenient").bytes, "\xff\0\0\0"s);
    std::string wrapped;
    for (char c = 0; c < 26; ++c) {
        wrapped += c;
    }
    EXPECT_EQ(read("Wrapped").bytes, wrapped);
}

TEST_F(WineHive, StringEscapesAndRawUtf8) {
    EXPECT_EQ(read("Uni").bytes, "caf\xC3\xA9 \xE2\x98\x83 \xF0\x9F\x98\x80\0"s);
    EXPECT_EQ(read("e1").bytes, "\xC3\xA9"
                                "1\0"s);
    EXPECT_EQ(read("Escapes").bytes, "ABA\tqx\0"s);
    EXPECT_EQ(read("Controls").bytes, "\a\b\x1b\f\n\r\v\0"s);
    EXPECT_EQ(read("Raw").bytes, "caf\xC3\xA9\0"s);
    RegistryFileStore western({kData + "/system.reg"}, TextCodec::Narrow::Windows1252, {});
    EXPECT_EQ(RegistryProbe::read(western, HKLM, kTypes, "Uni").bytes, "caf\xE9 ? ??\0"s);
}

TEST_F(WineHive, MalformedDataLeavesAnEmptyUntypedValue) {
    for (const char* name : {"Broken", "UnknownTag"}) {
        const auto r = read(name);
        EXPECT_EQ(r.status, win::ERROR_SUCCESS) << name;
        EXPECT_EQ(r.type, win::REG_NONE) << name;
        EXPECT_EQ(r.bytes, "") << name;
    }
    // A key line without its closing bracket drops the key and its values.
    EXPECT_EQ(read("Lost", "Software\\RegTest\\Loop").status, win::ERROR_FILE_NOT_FOUND);
}

TEST_F(WineHive, KeyNamesWithEscapedBracketsAndNonAscii) {
    EXPECT_EQ(RegistryProbe::text(store, HKLM, "Software\\RegTest\\Key\"With[Br]\\Sub \xC3\xA9",
                                  "Inside"),
              "yes");
    EXPECT_EQ(RegistryProbe::text(store, HKLM, "software\\regtest\\KEY\"WITH[BR]\\SUB \xC3\x89",
                                  "Inside"),
              "yes");
}

TEST_F(WineHive, LinksAreFollowedAndLoopsEnd) {
    EXPECT_EQ(read("DwVal", "Software\\RegTest\\Link").bytes, "\x78\x56\x34\x12"s);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(read("Anything", "Software\\RegTest\\Loop\\Deeper").status,
              win::ERROR_FILE_NOT_FOUND);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(WineHiveRoots, TheHiveOrItsFileNameSaysWhereItBelongs) {
    TempFolder temp;
    const std::string body = "\n#arch=win32\n\n[Software\\\\Norvale Inc.] 0\n\"Where\"=\"here\"\n";
    const std::string userByName = temp.write("a/user.reg", "WINE REGISTRY Version 2\n" + body);
    const std::string userdef = temp.write(
        "b/any.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\.Default\n" + body);
    const std::string machine = temp.write("c/other.reg", "WINE REGISTRY Version 2\n" + body);
    RegistryFileStore store({kData + "/user/user.reg", userByName, userdef, machine},
                            TextCodec::Narrow::Utf8, {});
    EXPECT_EQ(RegistryProbe::text(store, win::HKEY_CURRENT_USER,
                                  "Software\\Norvale Inc.\\Slidevane3", "User"),
              "yes");
    EXPECT_EQ(RegistryProbe::text(store, win::HKEY_CURRENT_USER, "Software\\Norvale Inc.", "Where"),
              "here");
    EXPECT_EQ(
        RegistryProbe::text(store, win::HKEY_USERS, ".DEFAULT\\Software\\Norvale Inc.", "Where"),
        "here");
    EXPECT_EQ(RegistryProbe::text(store, HKLM, "Software\\Norvale Inc.", "Where"), "here");
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, "Software\\Norvale Inc.\\Slidevane3"), 2);
}

TEST(WineHiveRoots, ABaseWithANameLongerThanWindowsAllowsMakesNoKeys) {
    // The base's last part is one name of 300 characters: nothing below it could be opened.
    const std::string base =
        ";; All keys relative to REGISTRY\\\\User\\\\.Default\\\\" + std::string(300, 'n') + "\n";
    RegistryTree tree;
    std::string error;
    ASSERT_TRUE(WineHiveParser::parse("WINE REGISTRY Version 2\n" + base +
                                          "\n[Software\\\\X] 0\n\"v\"=\"x\"\n",
                                      "system.reg", tree, error));
    EXPECT_EQ(tree.keyCount(), 0u);
    // At the limit it is a key like any other.
    RegistryTree fits;
    const std::string name(255, 'n');
    ASSERT_TRUE(WineHiveParser::parse(
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\.Default\\\\" + name +
            "\n\n[Software\\\\X] 0\n\"v\"=\"x\"\n",
        "system.reg", fits, error));
    bool cut = false;
    const std::u16string folded(255, u'n');
    const std::uint32_t key =
        fits.find(RegistryTree::Root::Users, {u".default", folded, u"software", u"x"}, cut);
    ASSERT_NE(key, RegistryTree::npos);
    EXPECT_EQ(fits.name(fits.parent(fits.parent(key))), std::u16string(255, u'n'));
}

TEST(WineHiveHeader, BadHeadersAndArchitecturesRejectTheFile) {
    TempFolder temp;
    const std::string body = "[Software\\\\X] 0\n\"v\"=\"x\"\n";
    std::vector<std::string> reports;
    RegistryFileStore store({temp.write("1.reg", "WINE REGISTRY Version 1\n" + body),
                             temp.write("2.reg", "WINE REGISTRY Version 2\n#arch=win128\n" + body),
                             temp.write("3.reg", " WINE REGISTRY Version 2\n" + body)},
                            TextCodec::Narrow::Utf8,
                            [&](const std::string& line) { reports.push_back(line); });
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, "Software\\X"), 2);
    EXPECT_EQ(reports.size(), 3u);
}

TEST(WineHiveWin64, ReadsThroughTheThirtyTwoBitViewFirst) {
    RegistryFileStore store({kData + "/win64/system.reg"}, TextCodec::Narrow::Utf8, {});
    const char* app = "Software\\Norvale Inc.\\Slidevane3\\1.0";
    const std::string x86 = "C:\\Program Files (x86)\\Norvale\\Slidevane3\\";
    EXPECT_EQ(RegistryProbe::text(store, HKLM, app, "PresentPath"), x86);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, app, "PresentPath", 0x3F), x86);
    EXPECT_EQ(
        RegistryProbe::text(store, HKLM, app, "PresentPath", win::KEY_READ | win::KEY_WOW64_32KEY),
        x86);
    EXPECT_EQ(
        RegistryProbe::text(store, HKLM, app, "PresentPath", win::KEY_READ | win::KEY_WOW64_64KEY),
        "C:\\native64\\");
    // The fallback is per key: a key found in the 32-bit view hides its 64-bit twin entirely.
    EXPECT_EQ(RegistryProbe::read(store, HKLM, app, "Only64").status, win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, "Software\\Only64Key", "V"), "x");
    EXPECT_EQ(RegistryProbe::text(store, HKLM,
                                  "Software\\Wow6432Node\\Norvale Inc.\\Slidevane3\\1.0",
                                  "PresentPath"),
              x86);

    // Relative opens go through the view of the full path.
    win::HKEY software = nullptr;
    ASSERT_EQ(store.RegOpenKeyExA(HKLM, "Software", 0, win::KEY_READ, &software), 0);
    EXPECT_EQ(RegistryProbe::text(store, software, "Norvale Inc.\\Slidevane3\\1.0", "PresentPath"),
              x86);
    store.RegCloseKey(software);
}

} // namespace
} // namespace slidevane
