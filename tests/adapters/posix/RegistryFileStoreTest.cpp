#include "adapters/posix/RegistryFileStore.h"

#include "RegistryProbe.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace slidevane {
namespace {

using test::RegistryProbe;
using namespace std::string_literals;
using win::BYTE;
using win::DWORD;
using win::HKEY;

const std::string kData = SLIDEVANE3_REGISTRY_DATA;
HKEY const HKLM = win::HKEY_LOCAL_MACHINE;
constexpr const char* kTypes = "Software\\RegTest\\Types";
HKEY const kSentinel = reinterpret_cast<HKEY>(std::uintptr_t{0xBAD});

class StoreApi : public ::testing::Test {
protected:
    RegistryFileStore store{
        {kData + "/system.reg", kData + "/types-5.00-utf8.reg"}, TextCodec::Narrow::Utf8, {}};

    HKEY open(HKEY root, const char* path) {
        HKEY key = nullptr;
        EXPECT_EQ(store.RegOpenKeyExA(root, path, 0, win::KEY_READ, &key), 0) << path;
        return key;
    }
};

TEST_F(StoreApi, PredefinedKeysWithAnEmptySubKeyAreReturnedThemselves) {
    HKEY key = kSentinel;
    EXPECT_EQ(store.RegOpenKeyExA(HKLM, nullptr, 0, win::KEY_READ, &key), 0);
    EXPECT_EQ(key, HKLM);
    EXPECT_EQ(store.RegOpenKeyExA(win::HKEY_CURRENT_USER, "", 0, win::KEY_READ, &key), 0);
    EXPECT_EQ(key, win::HKEY_CURRENT_USER);
    EXPECT_EQ(store.RegCloseKey(HKLM), 0);
    EXPECT_EQ(store.RegCloseKey(HKLM), 0); // never really closed
    EXPECT_EQ(store.openHandleCount(), 0u);
}

TEST_F(StoreApi, AnOrdinaryHandleWithAnEmptySubKeyGivesANewHandle) {
    HKEY first = open(HKLM, kTypes);
    HKEY second = kSentinel;
    EXPECT_EQ(store.RegOpenKeyExA(first, "", 0, win::KEY_READ, &second), 0);
    EXPECT_NE(second, first);
    EXPECT_EQ(store.RegCloseKey(first), 0);
    // The second handle lives on after the first is closed.
    DWORD size = 0;
    EXPECT_EQ(store.RegQueryValueExA(second, "DwVal", nullptr, nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(store.RegCloseKey(second), 0);
}

TEST_F(StoreApi, OpenStatuses) {
    HKEY key = kSentinel;
    EXPECT_EQ(store.RegOpenKeyExA(nullptr, kTypes, 0, win::KEY_READ, &key), 6);
    EXPECT_EQ(key, kSentinel);
    EXPECT_EQ(store.RegOpenKeyExA(kSentinel, kTypes, 0, win::KEY_READ, &key), 6);
    EXPECT_EQ(key, kSentinel);
    EXPECT_EQ(store.RegOpenKeyExA(HKLM, kTypes, 0, win::KEY_READ, nullptr), 87);

    EXPECT_EQ(store.RegOpenKeyExA(HKLM, "\\Software", 0, win::KEY_READ, &key), 161);
    EXPECT_EQ(key, nullptr);
    key = kSentinel;
    EXPECT_EQ(store.RegOpenKeyExA(HKLM, "\\", 0, win::KEY_READ, &key), 161);
    EXPECT_EQ(key, nullptr);
    key = kSentinel;
    EXPECT_EQ(store.RegOpenKeyExA(HKLM, "Software\\Missing", 0, win::KEY_READ, &key), 2);
    EXPECT_EQ(key, nullptr);
    // One leading backslash is forgiven under HKEY_CLASSES_ROOT, two are not.
    EXPECT_EQ(RegistryProbe::openStatus(store, win::HKEY_CLASSES_ROOT, "\\.sv3"), 0);
    EXPECT_EQ(RegistryProbe::openStatus(store, win::HKEY_CLASSES_ROOT, "\\\\.sv3"), 161);
    EXPECT_EQ(store.openHandleCount(), 0u);
}

TEST_F(StoreApi, PathsAreCaseInsensitiveAndTrailingBackslashesIgnored) {
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, "SOFTWARE\\regtest\\TYPES"), 0);
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, "Software\\RegTest\\Types\\\\"), 0);
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, "Software\\Norvale Inc.\\\xC3\x9Cmlaut"), 0);
    HKEY parent = open(HKLM, "Software\\RegTest\\");
    EXPECT_EQ(RegistryProbe::text(store, parent, "Types", "ExpVal"), "%ProgramFiles%\\Foo");
    store.RegCloseKey(parent);
    // Access masks only ask; reads work whatever was asked.
    for (DWORD sam : {DWORD{0}, DWORD{0x3F}, win::KEY_READ, win::KEY_QUERY_VALUE}) {
        EXPECT_EQ(RegistryProbe::read(store, HKLM, kTypes, "DwVal", sam).status, 0) << sam;
    }
}

TEST_F(StoreApi, NamesBeyondWindowsLimitsAreNotFound) {
    const std::string longName(256, 'k');
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, ("Software\\" + longName).c_str()), 2);
    std::string deep = "Software";
    for (int i = 0; i < 100000; ++i) {
        deep += "\\d";
    }
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, deep.c_str()), 2);
    const std::string longValue(16384, 'v');
    EXPECT_EQ(RegistryProbe::read(store, HKLM, kTypes, longValue.c_str()).status, 2);
}

TEST_F(StoreApi, DefaultValue) {
    HKEY key = open(HKLM, kTypes);
    DWORD size = 0;
    EXPECT_EQ(store.RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(store.RegQueryValueExA(key, "", nullptr, nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 8u);
    store.RegCloseKey(key);
    // Keys have no implicit default value.
    EXPECT_EQ(RegistryProbe::read(store, HKLM, "Software\\RegTest", nullptr).status, 2);
    // A predefined key reads its own values.
    EXPECT_EQ(RegistryProbe::read(store, HKLM, nullptr, "x").status, 2);
}

TEST_F(StoreApi, QueryArgumentsAndHandles) {
    HKEY key = open(HKLM, kTypes);
    BYTE buffer[16];
    DWORD reserved = 0;
    DWORD size = sizeof buffer;
    EXPECT_EQ(store.RegQueryValueExA(key, "DwVal", nullptr, nullptr, buffer, nullptr), 87);
    EXPECT_EQ(store.RegQueryValueExA(key, "DwVal", &reserved, nullptr, buffer, &size), 87);
    EXPECT_EQ(store.RegQueryValueExA(key, "DwVal", nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(store.RegQueryValueExA(key, "Nope", nullptr, nullptr, nullptr, nullptr), 2);
    EXPECT_EQ(store.RegQueryValueExA(nullptr, "DwVal", nullptr, nullptr, buffer, &size), 6);
    EXPECT_EQ(store.RegQueryValueExA(kSentinel, "DwVal", nullptr, nullptr, buffer, &size), 6);
    EXPECT_EQ(store.RegCloseKey(key), 0);
    EXPECT_EQ(store.RegQueryValueExA(key, "DwVal", nullptr, nullptr, buffer, &size), 6);
    EXPECT_EQ(store.RegCloseKey(key), 6);
    EXPECT_EQ(store.RegCloseKey(nullptr), 6);
}

TEST_F(StoreApi, MissingValueSetsTheSizeToZeroOnlyWithoutABuffer) {
    HKEY key = open(HKLM, kTypes);
    DWORD type = 99;
    DWORD size = 77;
    EXPECT_EQ(store.RegQueryValueExA(key, "Nope", nullptr, &type, nullptr, &size), 2);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(type, win::REG_NONE);
    BYTE buffer[4];
    size = 77;
    EXPECT_EQ(store.RegQueryValueExA(key, "Nope", nullptr, nullptr, buffer, &size), 2);
    EXPECT_EQ(size, 77u);
    store.RegCloseKey(key);
}

TEST_F(StoreApi, BufferTooSmallReportsTheSizeAndLeavesTheBuffer) {
    HKEY key = open(HKLM, kTypes);
    BYTE buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    DWORD type = 0;
    DWORD size = 3;
    EXPECT_EQ(store.RegQueryValueExA(key, "ExpVal", nullptr, &type, buffer, &size), 234);
    EXPECT_EQ(size, 19u); // "%ProgramFiles%\Foo" and its NUL
    EXPECT_EQ(type, win::REG_EXPAND_SZ);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 8), "zzzzzzzz");
    size = 2;
    EXPECT_EQ(store.RegQueryValueExA(key, "DwVal", nullptr, &type, buffer, &size), 234);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(type, win::REG_DWORD);
    size = 4;
    EXPECT_EQ(store.RegQueryValueExA(key, "DwVal", nullptr, &type, buffer, &size), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "\x78\x56\x34\x12");
    store.RegCloseKey(key);
}

TEST_F(StoreApi, UnterminatedStringsGetANulOnlyInASpareByte) {
    HKEY key = open(HKLM, kTypes);
    BYTE buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    DWORD size = 0;
    EXPECT_EQ(store.RegQueryValueExA(key, "Unterminated", nullptr, nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(store.RegQueryValueExA(key, "Unterminated", nullptr, nullptr, buffer, &size), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "ABz"); // exact size: no NUL
    size = 3;
    EXPECT_EQ(store.RegQueryValueExA(key, "Unterminated", nullptr, nullptr, buffer, &size), 0);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "AB\0"s);

    std::memset(buffer, 'z', sizeof buffer);
    size = sizeof buffer;
    EXPECT_EQ(store.RegQueryValueExA(key, "Odd", nullptr, nullptr, buffer, &size), 0);
    EXPECT_EQ(size, 1u); // the odd byte is no character
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 2), "A\0"s);

    std::memset(buffer, 'z', sizeof buffer);
    size = sizeof buffer;
    EXPECT_EQ(store.RegQueryValueExA(key, "EmptyStr", nullptr, nullptr, buffer, &size), 0);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(buffer[0], 'z');
    store.RegCloseKey(key);
}

TEST_F(StoreApi, HandlesAreDistinctAndNotReused) {
    std::set<HKEY> seen;
    for (int i = 0; i < 1000; ++i) {
        HKEY key = open(HKLM, kTypes);
        EXPECT_TRUE(seen.insert(key).second);
        EXPECT_EQ(store.RegCloseKey(key), 0);
        EXPECT_EQ(store.RegCloseKey(key), 6);
    }
    EXPECT_EQ(seen.count(HKLM), 0u);
    EXPECT_EQ(store.openHandleCount(), 0u);
}

} // namespace
} // namespace slidevane
