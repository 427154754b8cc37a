#include "RegistryProbe.h"
#include "TempFolder.h"
#include "adapters/posix/RegistryFileStore.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace slidevane {
namespace {

using test::RegistryProbe;
using test::TempFolder;
namespace fs = std::filesystem;

const std::string kData = SLIDEVANE3_REGISTRY_DATA;
win::HKEY const HKLM = win::HKEY_LOCAL_MACHINE;
constexpr const char* kApp = "Software\\Norvale Inc.\\Slidevane3\\1.0";

std::string regFile(const std::string& body) {
    return "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\Software\\Norvale Inc.\\Slidevane3\\1.0]\r\n" +
           body + "\r\n";
}

// Moves the modification time so that a rewrite within the same clock tick still shows.
void touchLater(const std::string& path, int seconds) {
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(seconds));
}

TEST(SearchList, LaterFilesOverrideValueByValueAndDeleteWhatEarlierOnesGave) {
    RegistryFileStore store({kData + "/layers"}, TextCodec::Narrow::Utf8, {});
    EXPECT_EQ(store.parseCount(), 3u); // notes.txt is no registry file
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "C:\\Override\\");
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "Kept"), "from base");
    EXPECT_EQ(RegistryProbe::read(store, HKLM, kApp, "Removed").status, 2);
    const std::string app = kApp;
    EXPECT_EQ(RegistryProbe::text(store, HKLM, (app + "\\INDEX").c_str(), "0"), "Base zero");
    EXPECT_EQ(RegistryProbe::text(store, HKLM, (app + "\\INDEX").c_str(), "1"), "Override one");
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, (app + "\\TEMPLATE\\0").c_str()), 2);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, (app + "\\TEMPLATE\\1").c_str(), "1"), "new.pot");
}

TEST(SearchList, OrderDecidesAndAnEmptyFolderAddsNothing) {
    TempFolder temp;
    const std::string a = temp.write("a.reg", regFile("\"PresentPath\"=\"A\""));
    const std::string b = temp.write("b.reg", regFile("\"PresentPath\"=\"B\""));
    temp.makeFolder("empty");
    std::vector<std::string> reports;
    RegistryFileStore ab({a, temp / "empty", b}, TextCodec::Narrow::Utf8,
                         [&](const std::string& line) { reports.push_back(line); });
    RegistryFileStore ba({b, a}, TextCodec::Narrow::Utf8, {});
    EXPECT_EQ(RegistryProbe::text(ab, HKLM, kApp, "PresentPath"), "B");
    EXPECT_EQ(RegistryProbe::text(ba, HKLM, kApp, "PresentPath"), "A");
    EXPECT_TRUE(reports.empty());
}

TEST(SearchList, ARegistryFileOverridesAWin64HiveReadThroughItsWowNode) {
    TempFolder temp;
    const std::string over = temp.write("over.reg", regFile("\"Extra\"=\"from the file\""));
    const std::string hide =
        temp.write("hide.reg", "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\Software\\Only64Key]\n");
    RegistryFileStore store({kData + "/win64/system.reg", over, hide}, TextCodec::Narrow::Utf8, {});
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"),
              "C:\\Program Files (x86)\\Norvale\\Slidevane3\\");
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "Extra"), "from the file");
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, "Software\\Only64Key"), 2);
}

TEST(Reload, AChangedFileIsReadAgainAndAnUnchangedOneNever) {
    TempFolder temp;
    const std::string file = temp.write("app.reg", regFile("\"PresentPath\"=\"first\""));
    RegistryFileStore store({file}, TextCodec::Narrow::Utf8, {});
    EXPECT_EQ(store.parseCount(), 1u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "first");
    }
    EXPECT_EQ(store.parseCount(), 1u);

    // Same size, new content: only the time tells.
    temp.write("app.reg", regFile("\"PresentPath\"=\"secnd\""));
    touchLater(file, 5);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "secnd");
    EXPECT_EQ(store.parseCount(), 2u);

    // Replaced by another file (new inode) with the same size and time.
    const auto time = fs::last_write_time(file);
    const std::string other = temp.write("other.reg", regFile("\"PresentPath\"=\"third\""));
    fs::last_write_time(other, time);
    fs::rename(other, file);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "third");
    EXPECT_EQ(store.parseCount(), 3u);

    fs::remove(file);
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, kApp), 2);
    temp.write("app.reg", regFile("\"PresentPath\"=\"back\""));
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "back");
    EXPECT_EQ(store.parseCount(), 4u);
}

TEST(Reload, AnOpenHandleKeepsReadingWhatItOpened) {
    TempFolder temp;
    const std::string file = temp.write("app.reg", regFile("\"PresentPath\"=\"old\""));
    RegistryFileStore store({file}, TextCodec::Narrow::Utf8, {});
    win::HKEY key = nullptr;
    ASSERT_EQ(store.RegOpenKeyExA(HKLM, kApp, 0, win::KEY_READ, &key), 0);
    temp.write("app.reg", regFile("\"PresentPath\"=\"new, longer\""));
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "new, longer");
    char buffer[32] = {};
    win::DWORD size = sizeof buffer;
    EXPECT_EQ(store.RegQueryValueExA(key, "PresentPath", nullptr, nullptr,
                                     reinterpret_cast<win::BYTE*>(buffer), &size),
              0);
    EXPECT_STREQ(buffer, "old");
    store.RegCloseKey(key);
}

TEST(Reload, FolderGainsAndLosesFilesAndOnlyNewFilesAreParsed) {
    TempFolder temp;
    temp.write("d/10-a.reg", regFile("\"PresentPath\"=\"A\""));
    RegistryFileStore store({temp / "d"}, TextCodec::Narrow::Utf8, {});
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "A");
    temp.write("d/20-b.REG", regFile("\"PresentPath\"=\"B\""));
    temp.write("d/30-c.txt", regFile("\"PresentPath\"=\"C\""));
    touchLater(temp / "d", 5);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "B");
    EXPECT_EQ(store.parseCount(), 2u);
    fs::remove(temp / "d/20-b.REG");
    touchLater(temp / "d", 10);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "A");
    EXPECT_EQ(store.parseCount(), 2u);
}

TEST(BadFiles, AreReportedOncePerVersionOfTheFile) {
    TempFolder temp;
    const std::string bad = temp.write("bad.reg", "\nREGEDIT4\n");
    const std::string junk = temp.write("junk.reg", std::string("\x00\x01\x02\xff", 4));
    temp.makeFolder("dir.reg");
    std::vector<std::string> reports;
    RegistryFileStore store({bad, junk, temp / "dir.reg", kData + "/system.reg"},
                            TextCodec::Narrow::Utf8,
                            [&](const std::string& line) { reports.push_back(line); });
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(RegistryProbe::read(store, HKLM, "Software\\RegTest\\Types", "DwVal").status, 0);
    }
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0].find("bad.reg"), std::string::npos);
    EXPECT_NE(reports[1].find("junk.reg"), std::string::npos);
    EXPECT_EQ(store.parseCount(), 3u);

    temp.write("bad.reg", "\nREGEDIT4 still bad\n");
    touchLater(bad, 5);
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, "Software"), 0);
    EXPECT_EQ(reports.size(), 3u);
}

TEST(BadFiles, UnreadableFilesAreReportedAndNamedPipesAreNotWaitedOn) {
    TempFolder temp;
    // A named pipe with no writer would block a reader forever.
    const std::string pipe = (fs::path(temp.path()) / "pipe.reg").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::vector<std::string> files = {pipe};
    if (::geteuid() != 0) { // permissions do not stop the superuser
        const std::string file = temp.write("locked.reg", regFile("\"PresentPath\"=\"x\""));
        fs::permissions(file, fs::perms::none);
        files.push_back(file);
    }
    std::vector<std::string> reports;
    RegistryFileStore store(std::vector<fs::path>(files.begin(), files.end()),
                            TextCodec::Narrow::Utf8,
                            [&](const std::string& line) { reports.push_back(line); });
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, kApp), 2);
    EXPECT_EQ(reports.size(), files.size());
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, kApp), 2);
    EXPECT_EQ(reports.size(), files.size()); // once per file, not per open
}

TEST(BadFiles, DevicesAreRefusedAtOnceAndReadsAreCappedWhateverTheSizeSays) {
    TempFolder temp;
    const std::string zero = (fs::path(temp.path()) / "zero.reg").string();
    fs::create_symlink("/dev/zero", zero);
    // Sparse: as large as it says, without taking the disk space.
    const std::string huge = temp.write("huge.reg", "REGEDIT4\n");
    fs::resize_file(huge, RegistrySources::kMaxFileSize + 1);
    std::vector<std::string> reports;
    RegistryFileStore store({zero, huge}, TextCodec::Narrow::Utf8,
                            [&](const std::string& line) { reports.push_back(line); });
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], "slidevane3: registry file " + zero + " ignored: not a regular file");
    EXPECT_EQ(reports[1], "slidevane3: registry file " + huge + " ignored: larger than 256 MiB");
    EXPECT_EQ(store.parseCount(), 0u);

    // A regular file that says it is empty is still read to its end: this thread's name.
    char name[16] = {};
    ASSERT_EQ(::prctl(PR_GET_NAME, name), 0);
    ASSERT_EQ(::prctl(PR_SET_NAME, "REGEDIT4"), 0);
    reports.clear();
    RegistryFileStore saysEmpty({"/proc/thread-self/comm"}, TextCodec::Narrow::Utf8,
                                [&](const std::string& line) { reports.push_back(line); });
    ::prctl(PR_SET_NAME, name);
    EXPECT_EQ(saysEmpty.parseCount(), 1u);
    EXPECT_TRUE(reports.empty()) << reports[0];
}

TEST(BadFiles, NamedFilesThatAreMissingLoopOrCannotBeSearchedAreReported) {
    TempFolder temp;
    const std::string good = temp.write("good.reg", regFile("\"PresentPath\"=\"good\""));
    const std::string missing = temp / "missing.reg";
    const std::string loop = temp / "loop.reg";
    fs::create_symlink("loop.reg", loop);
    std::vector<std::string> named = {missing, loop};
    std::vector<std::string> expected = {
        "slidevane3: registry file " + missing + " ignored: No such file or directory",
        "slidevane3: registry file " + loop + " ignored: Too many levels of symbolic links"};
    if (::geteuid() != 0) { // permissions do not stop the superuser
        const std::string hidden = temp.write("closed/hidden.reg", regFile(""));
        fs::permissions(temp / "closed", fs::perms::none);
        named.push_back(hidden);
        expected.push_back("slidevane3: registry file " + hidden + " ignored: Permission denied");
    }
    named.push_back(good);
    std::vector<std::string> reports;
    RegistryFileStore store(std::vector<fs::path>(named.begin(), named.end()),
                            TextCodec::Narrow::Utf8,
                            [&](const std::string& line) { reports.push_back(line); });
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "good");
    }
    EXPECT_EQ(reports, expected); // once each, not once per read
    if (fs::exists(temp / "closed")) {
        fs::permissions(temp / "closed", fs::perms::owner_all);
    }

    // A file that comes back is read; gone again, it is reported again.
    temp.write("missing.reg", regFile("\"PresentPath\"=\"back\""));
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "good");
    fs::remove(missing);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "good");
    EXPECT_EQ(reports.size(), expected.size() + 1);
}

// Sets or clears environment variables for one test and restores them after.
class Environment {
public:
    void set(const char* name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(DefaultSearchList, TheVariableReplacesTheDefault) {
    Environment env;
    env.set("SLIDEVANE3_REGISTRY", "/a/one.reg::/b/folder");
    const auto list = RegistryFileStore::defaultSearchList("/usr");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, "/a/one.reg");
    EXPECT_EQ(list[1].path, "/b/folder");
    EXPECT_FALSE(list[0].optional || list[1].optional); // named, so they must be there
}

TEST(DefaultSearchList, APathNamedInTheVariableIsReportedWhenMissingTheDefaultFoldersNever) {
    TempFolder temp;
    Environment env;
    const std::string good = temp.write("good.reg", regFile("\"PresentPath\"=\"good\""));
    env.set("SLIDEVANE3_REGISTRY", temp / "gone.reg" + ":" + good);
    std::vector<std::string> reports;
    const auto report = [&](const std::string& line) { reports.push_back(line); };
    {
        RegistryFileStore store(RegistryFileStore::defaultSearchList(), TextCodec::Narrow::Utf8,
                                report);
        EXPECT_EQ(RegistryProbe::text(store, HKLM, kApp, "PresentPath"), "good");
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "slidevane3: registry file " + temp / "gone.reg" +
                              " ignored: No such file or directory");

    reports.clear();
    env.set("SLIDEVANE3_REGISTRY", std::nullopt);
    env.set("WINEPREFIX", temp / "prefix");
    env.set("XDG_DATA_HOME", temp / "data");
    RegistryFileStore store(RegistryFileStore::defaultSearchList(temp / "usr"),
                            TextCodec::Narrow::Utf8, report);
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, kApp), 2);
    EXPECT_TRUE(reports.empty());
}

TEST(DefaultSearchList, WinePrefixEtcInstallPrefixAndUserData) {
    TempFolder temp;
    Environment env;
    env.set("SLIDEVANE3_REGISTRY", std::nullopt);
    env.set("WINEPREFIX", temp / "prefix");
    env.set("XDG_DATA_HOME", temp / "data");
    env.set("HOME", temp / "home");
    // Every default place may be absent.
    auto paths = [](const std::vector<RegistryFileStore::SearchPath>& list) {
        std::vector<fs::path> out;
        for (const auto& entry : list) {
            EXPECT_TRUE(entry.optional) << entry.path;
            out.push_back(entry.path);
        }
        return out;
    };
    std::vector<fs::path> expected = {"/etc/slidevane3/registry.d",
                                      "/opt/sv3/share/slidevane3/registry.d",
                                      temp / "data/slidevane3/registry.d"};
    EXPECT_EQ(paths(RegistryFileStore::defaultSearchList("/opt/sv3")), expected); // no hive yet
    temp.write("prefix/system.reg", "WINE REGISTRY Version 2\n");
    expected.insert(expected.begin(), temp / "prefix/system.reg");
    EXPECT_EQ(paths(RegistryFileStore::defaultSearchList("/opt/sv3")), expected);

    env.set("WINEPREFIX", std::nullopt);
    env.set("XDG_DATA_HOME", std::nullopt);
    temp.write("home/.wine/system.reg", "WINE REGISTRY Version 2\n");
    expected = {temp / "home/.wine/system.reg", "/etc/slidevane3/registry.d",
                temp / "home/.local/share/slidevane3/registry.d"};
    EXPECT_EQ(paths(RegistryFileStore::defaultSearchList()), expected);
}

} // namespace
} // namespace slidevane
