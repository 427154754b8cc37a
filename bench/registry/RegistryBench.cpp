// Registry-store benchmarks: catalogue reads (open, size, data, close) on a large Wine hive and
// on a small registry file holding the same catalogue, and the load of the large hive. The
// files are generated into a temporary folder at start-up.
#include "adapters/posix/RegistryFileStore.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using slidevane::RegistryFileStore;
namespace win = slidevane::win;

constexpr int kKeys = 50000;

class Files {
public:
    Files() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "slidevane3-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        folder = pattern;
        writeHive();
        writeSmall();
    }
    ~Files() { std::filesystem::remove_all(folder); }

    std::string folder;
    std::string hive;
    std::string small;
    std::uintmax_t hiveBytes = 0;

private:
    void writeHive() {
        std::string out = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n"
                          "\n#arch=win32\n\n";
        char line[512];
        // Filler shaped like a real prefix: vendors, products, versions and component keys
        // with a handful of values each.
        for (int i = 0; i < kKeys - 12; ++i) {
            std::snprintf(line, sizeof line,
                          "[Software\\\\Vendor %03d\\\\Product %03d\\\\%d.%d\\\\Component %05d] "
                          "1796616432\n#time=1dd86006f86ed66\n",
                          i % 500, (i / 500) % 100, i % 7, i % 3, i);
            out += line;
            std::snprintf(line, sizeof line,
                          "\"InstallLocation\"=\"C:\\\\Program Files\\\\Vendor %03d\\\\Product "
                          "%03d\\\\Component %05d\\\\\"\n\"DisplayName\"=\"Component %05d of a "
                          "product installed for the benchmark\"\n\"Version\"=dword:%08x\n"
                          "\"Flags\"=hex:%02x,00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,"
                          "10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f\n"
                          "\"Comment\"=\"caf\\xe9 \\x2603 %d\"\n\n",
                          i % 500, (i / 500) % 100, i, i, i, i & 0xFF, i);
            out += line;
        }
        out += catalogue(true);
        hive = folder + "/system.reg";
        std::ofstream(hive, std::ios::binary) << out;
        hiveBytes = std::filesystem::file_size(hive);
    }

    void writeSmall() {
        small = folder + "/catalogue.reg";
        std::ofstream(small, std::ios::binary) << "Windows Registry Editor Version 5.00\r\n\r\n"
                                               << catalogue(false);
    }

    // The catalogue: 1.0 with PresentPath, INDEX with ten titles, TEMPLATE\<c> with 1..3.
    static std::string catalogue(bool hive) {
        const std::string sep = hive ? "\\\\" : "\\";
        const std::string root = hive ? "" : "HKEY_LOCAL_MACHINE\\";
        const std::string app =
            root + "Software" + sep + "Norvale Inc." + sep + "Slidevane3" + sep + "1.0";
        const std::string tail = hive ? " 1796616432\n" : "\r\n";
        std::string out = "[" + app + "]" + tail +
                          "\"PresentPath\"=\"C:\\\\Program Files\\\\Norvale\\\\Slidevane3\\\\\"\n";
        out += "[" + app + sep + "INDEX]" + tail;
        char line[128];
        for (int i = 0; i < 10; ++i) {
            std::snprintf(line, sizeof line, "\"%d\"=\"Category %d\"\n", i, i);
            out += line;
        }
        for (int c = 0; c < 10; ++c) {
            out += "[";
            out += app;
            std::snprintf(line, sizeof line, "%sTEMPLATE%s%d]", sep.c_str(), sep.c_str(), c);
            out += line;
            out += tail;
            for (int t = 1; t <= 3; ++t) {
                std::snprintf(line, sizeof line, "\"%d\"=\"Template %d-%d.pot\"\n", t, c, t);
                out += line;
            }
        }
        return out;
    }
};

Files& files() {
    static Files instance;
    return instance;
}

// One GetRegistryString: open, ask the size, read the data, close.
void catalogueRead(benchmark::State& state, const std::string& file) {
    RegistryFileStore store({file}, slidevane::TextCodec::Narrow::Utf8, {});
    const char* keys[] = {"Software\\Norvale Inc.\\Slidevane3\\1.0\\",
                          "Software\\Norvale Inc.\\Slidevane3\\1.0\\INDEX",
                          "Software\\Norvale Inc.\\Slidevane3\\1.0\\TEMPLATE\\7"};
    const char* names[] = {"PresentPath", "4", "2"};
    char buffer[256];
    int i = 0;
    for (auto _ : state) {
        const int which = i++ % 3;
        win::HKEY key = nullptr;
        if (store.RegOpenKeyExA(win::HKEY_LOCAL_MACHINE, keys[which], 0, win::KEY_READ, &key) !=
            0) {
            state.SkipWithError("catalogue key missing");
            break;
        }
        win::DWORD type = 0;
        win::DWORD size = 0;
        store.RegQueryValueExA(key, names[which], nullptr, &type, nullptr, &size);
        store.RegQueryValueExA(key, names[which], nullptr, &type,
                               reinterpret_cast<win::BYTE*>(buffer), &size);
        store.RegCloseKey(key);
        benchmark::DoNotOptimize(buffer);
    }
}

void BM_CatalogueReadLargeHive(benchmark::State& state) {
    catalogueRead(state, files().hive);
    state.counters["hive_MB"] = static_cast<double>(files().hiveBytes) / (1 << 20);
}
BENCHMARK(BM_CatalogueReadLargeHive);

void BM_CatalogueReadSmallFile(benchmark::State& state) {
    catalogueRead(state, files().small);
}
BENCHMARK(BM_CatalogueReadSmallFile);

void BM_LoadLargeHive(benchmark::State& state) {
    // Loading is what the program waits for; freeing happens at exit and is not timed.
    for (auto _ : state) {
        auto store = std::make_unique<RegistryFileStore>(
            std::vector<std::filesystem::path>{files().hive}, slidevane::TextCodec::Narrow::Utf8,
            RegistryFileStore::Report{});
        benchmark::DoNotOptimize(store->parseCount());
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadLargeHive)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
