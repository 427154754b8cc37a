// The store against files made to hurt it. Each read goes through the hostile file's layer
// before the catalogue file answers, as it does when a prefix's system.reg is on the search list.
// The time limits only guard against hangs: the goals (50 ms) are measured by bench/registry.
#include "HangGuard.h"
#include "HeapCounter.h"
#include "HostileRegistryFiles.h"
#include "RegistryProbe.h"
#include "TempFolder.h"
#include "adapters/posix/NativePath.h"
#include "adapters/posix/RegistryFileStore.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace slidevane {
namespace {

using test::HeapCounter;
using test::HostileRegistryFiles;
using test::kHangGuard;
using test::RegistryProbe;
using test::TempFolder;
using Clock = std::chrono::steady_clock;

win::HKEY const HKLM = win::HKEY_LOCAL_MACHINE;
// About as many reads as slidevane3-check makes of a pack.
constexpr int kReads = 100;

class HostileFiles : public ::testing::Test {
protected:
    TempFolder temp;
    const std::string catalogue = temp.write("catalogue.reg", HostileRegistryFiles::catalogue());

    // Loads the hostile file and the catalogue, reads the catalogue kReads times and checks
    // each answer; returns how long that took.
    Clock::duration readCatalogueThrough(const std::string& hostile) {
        const std::string file = temp.write("hostile.reg", hostile);
        const auto start = Clock::now();
        RegistryFileStore store({file, catalogue}, TextCodec::Narrow::Utf8, {});
        for (int i = 0; i < kReads; ++i) {
            EXPECT_EQ(
                RegistryProbe::text(store, HKLM, HostileRegistryFiles::kAppKey, "PresentPath"),
                HostileRegistryFiles::kPresentPath);
        }
        return Clock::now() - start;
    }
};

TEST_F(HostileFiles, LongAndManyPartedLinkTargetsCostNoMoreThanAShortOne) {
    // A target longer than the deepest key a file can hold leads nowhere, at once: here one of
    // nearly the most characters Windows allows, then one far beyond it.
    EXPECT_LT(readCatalogueThrough(HostileRegistryFiles::longLinkTarget(32000)), kHangGuard);
    EXPECT_LT(readCatalogueThrough(HostileRegistryFiles::manyPartLinkTarget(100000)), kHangGuard);
}

TEST_F(HostileFiles, LinksChainUpToTheHopLimitAndNoFurther) {
    const std::string chain = temp.write("chain.reg", HostileRegistryFiles::chainedLinks(16, 500));
    const std::string over = temp.write("over.reg", HostileRegistryFiles::chainedLinks(17, 500));
    RegistryFileStore store({chain}, TextCodec::Narrow::Utf8, {});
    RegistryFileStore tooMany({over}, TextCodec::Narrow::Utf8, {});
    const auto start = Clock::now();
    for (int i = 0; i < kReads; ++i) {
        EXPECT_EQ(RegistryProbe::text(store, HKLM, "Software\\Chain\\Hop0", "Reached"), "yes");
        // One hop more is taken for a loop: the key is not found, not read as a plain key.
        EXPECT_EQ(RegistryProbe::openStatus(tooMany, HKLM, "Software\\Chain\\Hop0"), 2);
    }
    EXPECT_LT(Clock::now() - start, kHangGuard);
}

TEST_F(HostileFiles, LinkTargetsBeyondWindowsLimitsLeadNowhere) {
    // 32,767 characters is the longest name Windows can give a key; a component is at most 255.
    const std::string component(255, 'n');
    auto linkTo = [&](int components) {
        std::string deep = "Software";
        for (int i = 0; i < components; ++i) {
            deep += "\\\\" + component;
        }
        std::string target = "\\Registry\\Machine\\Software";
        for (int i = 0; i < components; ++i) {
            target += "\\" + component;
        }
        std::string hex;
        for (const char c : target) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "%02x,00,", static_cast<unsigned char>(c));
            hex += byte;
        }
        hex.pop_back();
        return "WINE REGISTRY Version 2\n\n[Software\\\\Link] 0\n#link\n"
               "\"SymbolicLinkValue\"=hex(6):" +
               hex + "\n\n[" + deep + "] 0\n\"Here\"=\"yes\"\n";
    };
    const std::string fits = temp.write("fits.reg", linkTo(127));    // 32,537 characters
    const std::string tooLong = temp.write("long.reg", linkTo(128)); // 32,793
    RegistryFileStore store({fits}, TextCodec::Narrow::Utf8, {});
    RegistryFileStore beyond({tooLong}, TextCodec::Narrow::Utf8, {});
    EXPECT_EQ(RegistryProbe::text(store, HKLM, "Software\\Link", "Here"), "yes");
    EXPECT_EQ(RegistryProbe::openStatus(beyond, HKLM, "Software\\Link"), 2);
    EXPECT_EQ(RegistryProbe::openStatus(beyond, HKLM, "Software"), 0);
}

TEST_F(HostileFiles, LinkLoopsAreNotFound) {
    const std::string loops = temp.write("loops.reg", HostileRegistryFiles::linkLoops());
    RegistryFileStore store({loops, catalogue}, TextCodec::Narrow::Utf8, {});
    const auto start = Clock::now();
    for (const char* key : {"Software\\Loop\\Self", "Software\\Loop\\A", "Software\\Loop\\B",
                            "Software\\Loop\\A\\Deeper"}) {
        EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, key), 2) << key;
    }
    EXPECT_EQ(RegistryProbe::openStatus(store, HKLM, "Software\\Loop"), 0);
    EXPECT_EQ(RegistryProbe::text(store, HKLM, HostileRegistryFiles::kAppKey, "PresentPath"),
              HostileRegistryFiles::kPresentPath);
    EXPECT_LT(Clock::now() - start, kHangGuard);
}

TEST_F(HostileFiles, APresentPathOfSixtyThousandComponentsIsReadAndResolvedInLinearTime) {
    const std::string file = temp.write("path.reg", HostileRegistryFiles::longPresentPath(60000));
    const auto start = Clock::now();
    RegistryFileStore store({file}, TextCodec::Narrow::Utf8, {});
    const NativePath paths(temp / "prefix/dosdevices");
    // Each picture the window loads reads the folder and resolves a path below it.
    for (int i = 0; i < kReads / 2; ++i) {
        const std::string present =
            RegistryProbe::text(store, HKLM, HostileRegistryFiles::kAppKey, "PresentPath");
        ASSERT_EQ(present.size(), 120000u);
        const auto resolved = paths.resolve(present + "UI\\b_Category 1a.gif");
        EXPECT_EQ(resolved.status, NativePath::Status::FolderMissing);
        EXPECT_EQ(resolved.path, present + "UI/b_Category 1a.gif");
    }
    EXPECT_LT(Clock::now() - start, kHangGuard);
}

TEST_F(HostileFiles, NamesChosenToCollideUnderAnUnkeyedHashLoadInLinearTime) {
    // Key names that all crowd one stretch of the name index under the hash it used before it
    // was keyed: 16,000 of them took 3 s to load, and the cost grew with the square of their
    // number. Under the process's own key they are names like any others.
    constexpr std::size_t kNames = 40000;
    const std::vector<std::string> names = HostileRegistryFiles::hashFloodNames(kNames);
    const std::string file = temp.write("flood.reg", HostileRegistryFiles::hashFlood(names));
    const auto start = Clock::now();
    RegistryFileStore store({file, catalogue}, TextCodec::Narrow::Utf8, {});
    for (const std::size_t i : {std::size_t{0}, kNames / 2, kNames - 1}) {
        EXPECT_EQ(RegistryProbe::openStatus(store, win::HKEY_CURRENT_USER, names[i].c_str()), 0);
    }
    EXPECT_EQ(RegistryProbe::text(store, HKLM, HostileRegistryFiles::kAppKey, "PresentPath"),
              HostileRegistryFiles::kPresentPath);
    EXPECT_LT(Clock::now() - start, kHangGuard);
}

TEST(HostileMemory, DenseFilesTakeAtMostFourTimesTheirSizeOrAreSkippedAlone) {
    // Keys or values packed as densely as each format allows. A key of a line, or a value of a
    // line, fits in four times its text; keys of two to four bytes each would take twelve to
    // eighteen times it, so that file is skipped, and reported, before it takes more.
    using Shape = HostileRegistryFiles::Shape;
    // Smaller where the heap is not counted: only what is loaded is checked there.
    const std::size_t kBytes = HeapCounter::counting() ? 2u << 20 : 512u << 10;
    // The budget's fixed allowance, and the buffers of one line that it does not count.
    constexpr std::size_t kFixed = 512u << 10;
    TempFolder temp;
    const std::string catalogue = temp.write("catalogue.reg", HostileRegistryFiles::catalogue());
    const win::HKEY HKCU = win::HKEY_CURRENT_USER;
    for (const Shape shape : {Shape::Deep, Shape::Wide, Shape::Flat}) {
        for (const auto format : HostileRegistryFiles::kFormats) {
            SCOPED_TRACE(std::string(HostileRegistryFiles::shapeName(shape)) + ", " +
                         HostileRegistryFiles::formatName(format));
            const std::string bytes = HostileRegistryFiles::dense(shape, kBytes, format);
            const std::string file = temp.write("dense.reg", bytes);
            std::vector<std::string> reports;
            HeapCounter::resetPeak();
            const std::size_t base = HeapCounter::live();
            RegistryFileStore store({file, catalogue}, TextCodec::Narrow::Utf8,
                                    [&](const std::string& line) { reports.push_back(line); });
            const std::size_t peak = HeapCounter::peak() - base;
            if (HeapCounter::counting()) {
                EXPECT_LE(peak, 4 * bytes.size() + kFixed)
                    << "peak " << peak << " for " << bytes.size();
            }
            const std::string first = HostileRegistryFiles::denseKey(shape, 0);
            const std::string later = HostileRegistryFiles::denseKey(shape, 5000);
            if (shape == Shape::Deep) {
                EXPECT_EQ(reports, std::vector<std::string>{"slidevane3: registry file " + file +
                                                            " ignored: takes more than 4 times "
                                                            "its size in memory"});
                EXPECT_EQ(RegistryProbe::openStatus(store, HKCU, "0"), 2);
            } else {
                EXPECT_TRUE(reports.empty());
                EXPECT_EQ(RegistryProbe::openStatus(store, HKCU, first.c_str()), 0);
                EXPECT_EQ(RegistryProbe::openStatus(store, HKCU, later.c_str()), 0);
            }
            if (shape == Shape::Flat) {
                const std::string name = HostileRegistryFiles::denseValueName(5000);
                EXPECT_EQ(RegistryProbe::text(store, HKCU, first.c_str(), name.c_str()), name);
            }
            // Nothing else is lost.
            EXPECT_EQ(
                RegistryProbe::text(store, HKLM, HostileRegistryFiles::kAppKey, "PresentPath"),
                HostileRegistryFiles::kPresentPath);
        }
    }
}

TEST(HostileMemory, ManySmallKeysCostLessThanTwiceTheFileWhileLoadingAndAfter) {
    if (!HeapCounter::counting()) {
        GTEST_SKIP() << "the heap is not counted under the sanitizers";
    }
    using Format = HostileRegistryFiles::Format;
    constexpr int kComponents = 8000; // about 3.3 MB of hive
    TempFolder temp;
    for (const Format format : {Format::Hive, Format::RegUtf8, Format::RegUtf16}) {
        SCOPED_TRACE(static_cast<int>(format));
        const std::string bytes = HostileRegistryFiles::manyKeys(kComponents, format);
        const std::string file = temp.write("many.reg", bytes);
        HeapCounter::resetPeak();
        const std::size_t base = HeapCounter::live();
        RegistryFileStore store({file}, TextCodec::Narrow::Utf8, {});
        const std::size_t peak = HeapCounter::peak() - base;
        const std::size_t kept = HeapCounter::live() - base;
        EXPECT_LE(peak, 2 * bytes.size()) << "peak " << peak << " for " << bytes.size();
        EXPECT_LE(kept, bytes.size() * 3 / 2) << "kept " << kept << " for " << bytes.size();
        for (const int i : {0, 4321, kComponents - 1}) {
            const std::string key = HostileRegistryFiles::componentKey(i);
            EXPECT_EQ(RegistryProbe::text(store, HKLM, key.c_str(), "DisplayName"),
                      HostileRegistryFiles::componentName(i));
            EXPECT_EQ(RegistryProbe::text(store, HKLM, key.c_str(), "Comment"),
                      "caf\xC3\xA9 \xE2\x98\x83 " + std::to_string(i));
            EXPECT_EQ(RegistryProbe::read(store, HKLM, key.c_str(), "Flags").bytes.size(), 33u);
        }
    }
}

#ifndef SLIDEVANE3_SANITIZED
// Resident memory of this process, in bytes: now, and at its peak since resetPeak().
std::size_t statusField(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name, 0) == 0) {
            return std::stoull(line.substr(std::string(name).size())) * 1024;
        }
    }
    return 0;
}

bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

TEST(HostileMemory, ALongLineCostsAtMostTwiceTheFileAndOnlyItsValueStays) {
    constexpr std::size_t kBytes = 40u << 20;
    constexpr std::size_t kSlack = 4u << 20; // allocator and page rounding
    TempFolder temp;
    for (const bool hive : {false, true}) {
        for (const bool comment : {false, true}) {
            SCOPED_TRACE(std::string(hive ? "hive" : ".reg") + (comment ? " comment" : " value"));
            const std::string file =
                temp.write("long.reg", comment ? HostileRegistryFiles::longCommentLine(kBytes, hive)
                                               : HostileRegistryFiles::longValueLine(kBytes, hive));
            if (!resetPeak()) {
                GTEST_SKIP() << "the peak of resident memory cannot be reset here";
            }
            const std::size_t base = statusField("VmRSS:");
            RegistryFileStore store({file}, TextCodec::Narrow::Utf8, {});
            const std::size_t peak = statusField("VmHWM:") - base;
            const std::size_t kept = statusField("VmRSS:") - base;
            EXPECT_LE(peak, 2 * kBytes + kSlack);
            // The value is kept once, a byte per character; a comment leaves nothing.
            EXPECT_LE(kept, (comment ? 0 : kBytes) + kSlack);
            win::DWORD size = 0;
            win::HKEY key = nullptr;
            ASSERT_EQ(
                store.RegOpenKeyExA(HKLM, HostileRegistryFiles::kAppKey, 0, win::KEY_READ, &key),
                0);
            EXPECT_EQ(store.RegQueryValueExA(key, "PresentPath", nullptr, nullptr, nullptr, &size),
                      comment ? 2 : 0);
            if (!comment) {
                EXPECT_GT(size,
                          kBytes - 1024); // the line, less its name and the file's first lines
            }
            store.RegCloseKey(key);
        }
    }
}
#endif

} // namespace
} // namespace slidevane
