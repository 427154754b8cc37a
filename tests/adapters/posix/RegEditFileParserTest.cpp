#include "adapters/posix/RegEditFileParser.h"

#include "RegistryProbe.h"
#include "TempFolder.h"
#include "adapters/posix/CaseFold.h"
#include "adapters/posix/RegistryFileStore.h"

#include <gtest/gtest.h>

namespace slidevane {
namespace {

using test::RegistryProbe;
using test::TempFolder;
using namespace std::string_literals;

const std::string kData = SLIDEVANE3_REGISTRY_DATA;
win::HKEY const HKLM = win::HKEY_LOCAL_MACHINE;
constexpr const char* kApp = "Software\\Norvale Inc.\\Slidevane3\\1.0";
constexpr const char* kCont = "Software\\Norvale Inc.\\Continuation";

RegistryFileStore::Report ignoreReports() {
    return [](const std::string&) {};
}

class RegEditFile : public ::testing::Test {
protected:
    RegistryFileStore store{
        {kData + "/types-5.00-utf8.reg"}, TextCodec::Narrow::Utf8, ignoreReports()};

    std::string text(const char* path, const char* name) {
        return RegistryProbe::text(store, HKLM, path, name);
    }
    RegistryProbe::Read read(const char* path, const char* name) {
        return RegistryProbe::read(store, HKLM, path, name);
    }
};

TEST_F(RegEditFile, QuotedTextIsUtf16WithItsNulAndReadsBackNarrow) {
    const auto r = read(kApp, "PresentPath");
    EXPECT_EQ(r.type, win::REG_SZ);
    EXPECT_EQ(r.bytes, "C:\\Program Files\\Norvale\\Slidevane3\\\0"s);
    EXPECT_EQ(text(kApp, nullptr), "Default text");
    EXPECT_EQ(text(kApp, "Escapes"), "quote\" backslash\\ newline\n return\r othert end");
    EXPECT_EQ(text(kApp, "Indented"), "spaces around the equals sign");
    EXPECT_EQ(text(kApp, "caf\xC3\xA9"), "non-ASCII name");
    EXPECT_EQ(text(kApp, "CAF\xC3\x89"), "non-ASCII name");
}

TEST_F(RegEditFile, NumbersAndHexOfEveryType) {
    auto r = read(kApp, "Dword");
    EXPECT_EQ(r.type, win::REG_DWORD);
    EXPECT_EQ(r.bytes, "\x78\x56\x34\x12"s);
    EXPECT_EQ(read(kApp, "DwordSpaced").bytes, "\x2a\0\0\0"s);
    r = read(kApp, "Binary");
    EXPECT_EQ(r.type, win::REG_BINARY);
    EXPECT_EQ(r.bytes, "\x01\x02\xff"s);
    r = read(kApp, "Qword");
    EXPECT_EQ(r.type, win::REG_QWORD);
    EXPECT_EQ(r.bytes, "\x88\x77\x66\x55\x44\x33\x22\x11"s);
    r = read(kApp, "TypeHundred");
    EXPECT_EQ(r.type, 0x100u);
    EXPECT_EQ(r.bytes, "\xaa"s);
    r = read(kApp, "TypeMax");
    EXPECT_EQ(r.type, 0xFFFFFFFFu);
    EXPECT_EQ(r.bytes, "\x01"s);
    r = read(kApp, "EmptyNone");
    EXPECT_EQ(r.status, win::ERROR_SUCCESS);
    EXPECT_EQ(r.type, win::REG_NONE);
    EXPECT_EQ(r.bytes, "");
}

TEST_F(RegEditFile, HexStringTypesGetOneNulAppendedWhenMissing) {
    auto r = read(kApp, "Expand");
    EXPECT_EQ(r.type, win::REG_EXPAND_SZ);
    EXPECT_EQ(r.bytes, "%PATH%\0"s); // stored, never expanded
    r = read(kApp, "Multi");
    EXPECT_EQ(r.type, win::REG_MULTI_SZ);
    EXPECT_EQ(r.bytes, "Line\0"s);
    r = read(kApp, "NoTerm");
    EXPECT_EQ(r.type, win::REG_SZ);
    EXPECT_EQ(r.bytes, "AB\0"s);
    r = read(kApp, "EmptyExpand");
    EXPECT_EQ(r.type, win::REG_EXPAND_SZ);
    EXPECT_EQ(r.bytes, "");
    EXPECT_EQ(read(kApp, "OddSz").status, win::ERROR_FILE_NOT_FOUND);
}

TEST_F(RegEditFile, MalformedValueLinesAreSkipped) {
    for (const char* name : {"BadDword1", "BadDword2", "BadDword3", "BadDword4", "BadDword5",
                             "BadHex1", "BadHex2", "BadHex3", "BadHex4", "BadEsc", "BadQuote",
                             "BadTrailer", "BadTrailer2", "BadUnterminated", "BadNoEquals"}) {
        EXPECT_EQ(read(kApp, name).status, win::ERROR_FILE_NOT_FOUND) << name;
    }
    EXPECT_EQ(text(kApp, "Keep2"), "k2"); // =-"x" is no deletion
}

TEST_F(RegEditFile, HexContinuationLines) {
    EXPECT_EQ(read(kCont, "Wrapped").bytes, "\x00\x01\x02\x03\x04\x05\x06\x07\x08"s);
    EXPECT_EQ(read(kCont, "Straight").bytes, "\x0a\x0b"s);
    EXPECT_EQ(read(kCont, "Spaced").bytes, "\x01\x02\x03"s);
    EXPECT_EQ(read(kCont, "Aborted").status, win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text(kCont, "AfterAbort"), "still read");
    EXPECT_EQ(read(kCont, "Cut").status, win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text(kCont, "Next"), "read on its own");
}

TEST_F(RegEditFile, KeyLines) {
    const std::string base = "Software\\Norvale Inc.\\";
    auto at = [&](const std::string& key) { return base + key; };
    EXPECT_EQ(text(at("Repeat").c_str(), "First"), "overridden"); // merged, last value wins
    EXPECT_EQ(text(at("repeat").c_str(), "Second"), "2");
    EXPECT_EQ(text(at("Trailing").c_str(), "T"), "t");
    EXPECT_EQ(text(at("Double\\Slash").c_str(), "D"), "d");
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, at("Dropped").c_str()), 2);
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, at("SpaceAfterBracket").c_str()), 2);
    EXPECT_EQ(text(at("Space Before ").c_str(), "B"), "b");
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, at("Space Before").c_str()), 2);
    EXPECT_EQ(text(at("Last]Bracket").c_str(), "L"), "l");
    EXPECT_EQ(text(at("Short").c_str(), "Abbrev"), "accepted");
    EXPECT_EQ(text(at("\xC3\xBCMLAUT").c_str(), "U"), "u");
    EXPECT_EQ(text(at("EmptyName").c_str(), nullptr), "the empty name is the default value");
    EXPECT_EQ(text(at("EmptyName").c_str(), ""), "the empty name is the default value");
    EXPECT_EQ(RegistryProbe::text(store, win::HKEY_CLASSES_ROOT, ".sv3", nullptr),
              "Slidevane3.Template");
    EXPECT_EQ(text("Software\\Classes\\.SV3", nullptr), "Slidevane3.Template");
}

TEST_F(RegEditFile, DeletionsInTheSameFile) {
    const std::string base = "Software\\Norvale Inc.\\";
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, (base + "Gone").c_str()), 2);
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, (base + "Gone\\Child").c_str()), 2);
    EXPECT_EQ(text((base + "Values").c_str(), "Keep"), "k");
    EXPECT_EQ(read((base + "Values").c_str(), "Remove").status, win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text((base + "Values").c_str(), "dup"), "second");
    EXPECT_EQ(read((base + "Recreated").c_str(), "Old").status, win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(text((base + "Recreated").c_str(), "New"), "new");
}

TEST(RegEditEncodings, Utf16WithBomAndCrlf) {
    RegistryFileStore store({kData + "/utf16le-bom-crlf.reg"}, TextCodec::Narrow::Utf8,
                            ignoreReports());
    const char* key = "Software\\Norvale Inc.\\Unicode";
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "Smile").bytes, "a\xF0\x9F\x98\x80"
                                                                    "b\0"s);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, key,
                                  "\xC3\x9Cn\xC3\xAF"
                                  "code"),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "Hex").bytes, "AB\0"s);
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "Odd").status, win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "Wrapped").bytes, "\x01\x02\x03"s);

    // Narrowed to Windows-1252 the character beyond the BMP is two units with no form.
    RegistryFileStore western({kData + "/utf16le-bom-crlf.reg"}, TextCodec::Narrow::Windows1252,
                              ignoreReports());
    EXPECT_EQ(RegistryProbe::read(western, HKLM, key, "Smile").bytes, "a??b\0"s);
}

TEST(RegEditEncodings, Regedit4InWindows1252AndInUtf8) {
    RegistryFileStore store({kData + "/regedit4-cp1252.reg", kData + "/regedit4-utf8.reg"},
                            TextCodec::Narrow::Utf8, ignoreReports());
    const char* key = "Software\\Norvale Inc.\\Legacy";
    // Plain text is UTF-16 with a NUL in REGEDIT4 files too: n+1 narrow bytes.
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "Caf\xC3\xA9").bytes, "Prix \xE2\x82\xAC 5\0"s);
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "Text").bytes, "plain\0"s);
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "Ansi").bytes, "%PATH%\0"s);
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "AnsiNoNul").bytes, "AB\0"s);
    EXPECT_EQ(RegistryProbe::read(store, HKLM, key, "AnsiHigh").bytes, "\xC3\xA9\0"s);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, "Software\\Norvale Inc.\\Legacy8", "caf\xC3\xA9"),
              "na\xC3\xAFve \xE2\x82\xAC");
}

TEST(RegEditEncodings, Utf8WithBom) {
    RegistryFileStore store({kData + "/utf8-bom.reg"}, TextCodec::Narrow::Utf8, ignoreReports());
    EXPECT_EQ(RegistryProbe::text(store, HKLM, "Software\\Norvale Inc.\\Bom", "Bom"), "\xC3\xBF"
                                                                                      "es");
}

// Parses text directly; returns whether the header was accepted.
bool parses(const std::string& bytes, RegistryTree& tree) {
    std::string error;
    return RegEditFileParser::parse(bytes, tree, error);
}

std::uint32_t find(const RegistryTree& tree, std::initializer_list<std::u16string_view> path) {
    std::uint32_t key = RegistryTree::rootKey(RegistryTree::Root::LocalMachine);
    for (auto part : path) {
        key = tree.child(key, CaseFold::fold(part));
        if (key == RegistryTree::npos) {
            break;
        }
    }
    return key;
}

TEST(RegEditHeader, MustBeTheFirstLineExactly) {
    RegistryTree tree;
    EXPECT_TRUE(parses("  \tREGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n", tree));
    EXPECT_NE(find(tree, {u"A"}), RegistryTree::npos);
    EXPECT_FALSE(parses("\nREGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n", tree));
    EXPECT_FALSE(parses("REGEDIT4x\n", tree));
    EXPECT_FALSE(parses("regedit4\n", tree));
    EXPECT_FALSE(parses("Windows Registry Editor Version 5.0\n", tree));
    EXPECT_FALSE(parses("", tree));
    // UTF-16 needs its BOM.
    const std::u16string header = u"REGEDIT4\r\n";
    EXPECT_FALSE(
        parses(std::string(reinterpret_cast<const char*>(header.data()), header.size() * 2), tree));
}

TEST(RegEditLines, CrOnlyLineEndsAndEndOfFileAfterAContinuation) {
    RegistryTree tree;
    ASSERT_TRUE(parses("REGEDIT4\r[HKEY_LOCAL_MACHINE\\A]\r\"v\"=hex:01,\\", tree));
    const auto key = find(tree, {u"A"});
    ASSERT_NE(key, RegistryTree::npos);
    const auto v = tree.value(key, u"v");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, "\x01");
}

TEST(RegEditLimits, NameLengthsAndDepth) {
    const std::string k255(255, 'k');
    const std::string v16383(16383, 'v');
    std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + k255 + "]\n\"" + v16383 +
                       "\"=\"ok\"\n\"" + v16383 + "v\"=\"too long\"\n[HKEY_LOCAL_MACHINE\\" + k255 +
                       "k]\n";
    std::string deep = "[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 100000; ++i) {
        deep += "\\d";
    }
    text += deep + "]\n\"deep\"=\"x\"\n";
    RegistryTree tree;
    ASSERT_TRUE(parses(text, tree));
    const auto key = find(tree, {std::u16string(255, u'k')});
    ASSERT_NE(key, RegistryTree::npos);
    EXPECT_TRUE(tree.value(key, std::u16string(16383, u'v')));
    EXPECT_FALSE(tree.value(key, std::u16string(16384, u'v')));
    EXPECT_EQ(find(tree, {std::u16string(256, u'k')}), RegistryTree::npos);
    EXPECT_EQ(find(tree, {u"d"}), RegistryTree::npos); // deeper than 512: the whole line fails
}

TEST(RegEditRobustness, HugeLinesJunkAndTruncatedUtf16) {
    RegistryTree tree;
    const std::string big(4 << 20, 'x');
    ASSERT_TRUE(parses("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"big\"=\"" + big + "\"\n", tree));
    const auto v = tree.value(find(tree, {u"A"}), u"big");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->size(), (big.size() + 1) * 2);
    EXPECT_EQ(v->data.size(), big.size() + 1); // kept a byte per character

    std::string junk = "REGEDIT4\n";
    for (int i = 0; i < 200000; ++i) {
        junk += static_cast<char>((i * 7919) % 251);
    }
    RegistryTree junkTree;
    EXPECT_TRUE(parses(junk, junkTree));

    const std::u16string text =
        u"Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=\"abc\"";
    std::string bytes =
        "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    bytes.resize(bytes.size() - 3); // cut inside a unit
    RegistryTree cut;
    EXPECT_TRUE(parses(bytes, cut));
    EXPECT_NE(find(cut, {u"A"}), RegistryTree::npos);
    EXPECT_FALSE(cut.value(find(cut, {u"A"}), u"v")); // the quote never closes
}

TEST(RegEditRobustness, ManyValuesAndRepeatedDeletionsStayLinear) {
    std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n";
    for (int i = 0; i < 100000; ++i) {
        text += "\"v" + std::to_string(i) + "\"=dword:1\n";
    }
    for (int i = 0; i < 2000; ++i) {
        text += "[-HKEY_LOCAL_MACHINE\\B]\n[HKEY_LOCAL_MACHINE\\B\\C]\n\"x\"=\"y\"\n";
    }
    RegistryTree tree;
    ASSERT_TRUE(parses(text, tree));
    const auto a = find(tree, {u"A"});
    EXPECT_TRUE(tree.value(a, u"v99999"));
    std::size_t values = 0;
    tree.forEachValue(a, [&](const std::u16string&, const RegistryTree::Value&) { ++values; });
    EXPECT_EQ(values, 100000u);
    EXPECT_NE(find(tree, {u"B", u"C"}), RegistryTree::npos);
    EXPECT_LT(tree.keyCount(), 10u); // deleted keys are gone, not piled up
}

} // namespace
} // namespace slidevane
