// Registry-store benchmarks: catalogue reads (open, size, data, close) on a large Wine hive and
// on a small registry file holding the same catalogue, the load of the large hive (and of the
// same keys as registry editor files) with its heap while loading and after, and files made
// to hurt the store (HostileRegistryFiles): how long each takes to load and answer, and the peak
// of heap and resident memory while a file loads. The files are generated into a temporary
// folder.
#include "HeapCounter.h"
#include "HostileRegistryFiles.h"
#include "adapters/posix/CaseFold.h"
#include "adapters/posix/NativePath.h"
#include "adapters/posix/RegistryFileStore.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

using slidevane::test::HeapCounter;

namespace {

using slidevane::RegistryFileStore;
using slidevane::test::HostileRegistryFiles;
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
        // The case-folding table is built once for the process; not part of any file's cost.
        benchmark::DoNotOptimize(slidevane::CaseFold::fold(u'A'));
        writeHive();
        writeSmall();
    }
    ~Files() { std::filesystem::remove_all(folder); }

    // A hostile file, written the first time it is asked for.
    const std::string& hostile(const std::string& name) {
        using Shape = HostileRegistryFiles::Shape;
        using Format = HostileRegistryFiles::Format;
        static const std::map<std::string, std::function<std::string()>> makers = {
            {"long-link-target", [] { return HostileRegistryFiles::longLinkTarget(15000); }},
            {"100000-part-link-target",
             [] { return HostileRegistryFiles::manyPartLinkTarget(100000); }},
            {"links-to-the-hop-limit", [] { return HostileRegistryFiles::chainedLinks(16, 500); }},
            {"link-loops", [] { return HostileRegistryFiles::linkLoops(); }},
            {"60000-component-PresentPath",
             [] { return HostileRegistryFiles::longPresentPath(60000); }},
            {"100MB-line-reg",
             [] { return HostileRegistryFiles::longValueLine(100 << 20, false); }},
            {"100MB-line-hive",
             [] { return HostileRegistryFiles::longValueLine(100 << 20, true); }},
            {"100MB-comment-reg",
             [] { return HostileRegistryFiles::longCommentLine(100 << 20, false); }},
            {"hash-flood",
             [] {
                 return HostileRegistryFiles::hashFlood(
                     HostileRegistryFiles::hashFloodNames(16000));
             }},
        };
        auto it = hostileFiles_.find(name);
        if (it == hostileFiles_.end()) {
            const std::string path = folder + "/" + name + ".reg";
            std::ofstream out(path, std::ios::binary);
            int shape = 0;
            int format = 0;
            if (std::sscanf(name.c_str(), "dense-%d-%d", &shape, &format) == 2) {
                out << HostileRegistryFiles::dense(static_cast<Shape>(shape), 3 << 20,
                                                   static_cast<Format>(format));
            } else {
                out << makers.at(name)();
            }
            out.close();
            it = hostileFiles_.emplace(name, path).first;
        }
        return it->second;
    }

    std::string folder;
    std::string hive;
    std::string small;
    std::string catalogueFile;
    std::uintmax_t hiveBytes = 0;
    // The same keys and values as registry editor files.
    std::string regUtf8;
    std::string regUtf16;

private:
    void writeHive() {
        // Filler shaped like a real prefix: vendors, products, versions and component keys
        // with a handful of values each; the catalogue last.
        const auto many = [](HostileRegistryFiles::Format format) {
            return HostileRegistryFiles::manyKeys(kKeys - 12, format);
        };
        hive = folder + "/system.reg";
        std::ofstream(hive, std::ios::binary)
            << many(HostileRegistryFiles::Format::Hive) << catalogue(true);
        hiveBytes = std::filesystem::file_size(hive);
        regUtf8 = folder + "/many-utf8.reg";
        std::ofstream(regUtf8, std::ios::binary) << many(HostileRegistryFiles::Format::RegUtf8);
        regUtf16 = folder + "/many-utf16.reg";
        std::ofstream(regUtf16, std::ios::binary) << many(HostileRegistryFiles::Format::RegUtf16);
    }

    void writeSmall() {
        small = folder + "/catalogue.reg";
        std::ofstream(small, std::ios::binary) << "Windows Registry Editor Version 5.00\r\n\r\n"
                                               << catalogue(false);
        catalogueFile = folder + "/hostile-catalogue.reg";
        std::ofstream(catalogueFile, std::ios::binary) << HostileRegistryFiles::catalogue();
    }

    std::map<std::string, std::string> hostileFiles_;

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

// Resident memory of this process in bytes; the peak counts from the last resetPeak().
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

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
    HeapCounter::resetPeak();
}

// Loading is what the program waits for; freeing happens at exit and is not timed.
void loadManyKeys(benchmark::State& state, const std::string& file) {
    std::size_t peak = 0;
    std::size_t kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetPeak();
        const std::size_t base = HeapCounter::live();
        state.ResumeTiming();
        auto store = std::make_unique<RegistryFileStore>(std::vector<std::filesystem::path>{file},
                                                         slidevane::TextCodec::Narrow::Utf8,
                                                         RegistryFileStore::Report{});
        benchmark::DoNotOptimize(store->parseCount());
        state.PauseTiming();
        peak = std::max(peak, HeapCounter::peak() - base);
        kept = std::max(kept, HeapCounter::live() - base);
        store.reset();
        state.ResumeTiming();
    }
    const auto bytes = static_cast<double>(std::filesystem::file_size(file));
    state.counters["file_MB"] = bytes / (1 << 20);
    state.counters["heap_peak_per_file"] = static_cast<double>(peak) / bytes;
    state.counters["heap_kept_per_file"] = static_cast<double>(kept) / bytes;
}

void BM_LoadLargeHive(benchmark::State& state) {
    loadManyKeys(state, files().hive);
}
BENCHMARK(BM_LoadLargeHive)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same keys and values in the registry editor's format, 8-bit and UTF-16.
void BM_LoadManyKeysRegUtf8(benchmark::State& state) {
    loadManyKeys(state, files().regUtf8);
}
BENCHMARK(BM_LoadManyKeysRegUtf8)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadManyKeysRegUtf16(benchmark::State& state) {
    loadManyKeys(state, files().regUtf16);
}
BENCHMARK(BM_LoadManyKeysRegUtf16)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A pack's own registry file: the catalogue's 16 keys, where a tree's fixed costs show.
void BM_LoadSmallFile(benchmark::State& state) {
    loadManyKeys(state, files().small);
}
BENCHMARK(BM_LoadSmallFile)->Unit(benchmark::kMicrosecond);

// What the window does with PresentPath: one picture path below it, resolved.
void answer(RegistryFileStore& store, bool resolve) {
    win::HKEY key = nullptr;
    win::DWORD size = 0;
    if (store.RegOpenKeyExA(win::HKEY_LOCAL_MACHINE, HostileRegistryFiles::kAppKey, 0,
                            win::KEY_READ, &key) != 0 ||
        store.RegQueryValueExA(key, "PresentPath", nullptr, nullptr, nullptr, &size) != 0) {
        std::abort();
    }
    std::string value(size, '\0');
    store.RegQueryValueExA(key, "PresentPath", nullptr, nullptr,
                           reinterpret_cast<win::BYTE*>(value.data()), &size);
    store.RegCloseKey(key);
    if (resolve) {
        static const slidevane::NativePath paths(files().folder + "/prefix/dosdevices");
        value.resize(std::strlen(value.c_str()));
        benchmark::DoNotOptimize(paths.resolve(value + "UI\\b_Category 1a.gif"));
    }
    benchmark::DoNotOptimize(value.data());
}

// One hostile file loaded behind the catalogue file (or alone, when it holds the catalogue
// itself) and one answer read through it, as a start-up does; with the peak of resident memory
// the load adds and the file's size.
void BM_HostileLoadAndAnswer(benchmark::State& state, const std::string& name, bool alone,
                             bool resolve, bool read) {
    const std::string& file = files().hostile(name);
    std::vector<std::filesystem::path> list = {file};
    if (!alone) {
        list.push_back(files().catalogueFile);
    }
    std::size_t heap = 0;
    std::size_t kept = 0;
    std::size_t resident = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetPeak();
        const std::size_t heapBase = HeapCounter::live();
        const std::size_t residentBase = statusField("VmRSS:");
        state.ResumeTiming();
        RegistryFileStore store(list, slidevane::TextCodec::Narrow::Utf8, {});
        state.PauseTiming();
        heap = std::max(heap, HeapCounter::peak() - heapBase);
        kept = std::max(kept, HeapCounter::live() - heapBase);
        const std::size_t high = statusField("VmHWM:");
        resident = std::max(resident, high > residentBase ? high - residentBase : 0);
        state.ResumeTiming();
        if (read) {
            answer(store, resolve);
        }
    }
    const double bytes = static_cast<double>(std::filesystem::file_size(file));
    state.counters["file_KiB"] = bytes / 1024;
    state.counters["heap_peak_KiB"] = static_cast<double>(heap) / 1024;
    state.counters["heap_peak_per_file"] = static_cast<double>(heap) / bytes;
    state.counters["heap_kept_KiB"] = static_cast<double>(kept) / 1024;
    state.counters["rss_peak_KiB"] = static_cast<double>(resident) / 1024;
}
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, long_link_target, "long-link-target", false, false, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, part_100000_link_target, "100000-part-link-target",
                  false, false, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, links_to_the_hop_limit, "links-to-the-hop-limit", false,
                  false, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, link_loops, "link-loops", false, false, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, component_60000_PresentPath,
                  "60000-component-PresentPath", true, true, true)
    ->Unit(benchmark::kMillisecond);
// Names chosen to collide under an unkeyed name hash, and files that pack keys or values as
// densely as their format allows.
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, hash_flood_16000, "hash-flood", false, false, true)
    ->Unit(benchmark::kMillisecond);
// Each dense shape in each format, 3 MB: BM_HostileLoadAndAnswer/<shape>_<format>_3MB.
const bool denseRegistered = [] {
    using Shape = HostileRegistryFiles::Shape;
    const char* formats[] = {"hive", "reg_utf8", "reg_utf16", "regedit4"};
    for (const Shape shape : {Shape::Deep, Shape::Wide, Shape::Flat}) {
        for (int format = 0; format < 4; ++format) {
            const std::string file =
                "dense-" + std::to_string(static_cast<int>(shape)) + "-" + std::to_string(format);
            const std::string name = std::string("BM_HostileLoadAndAnswer/") +
                                     HostileRegistryFiles::shapeName(shape) + "_" +
                                     formats[format] + "_3MB";
            benchmark::RegisterBenchmark(name.c_str(), [file](benchmark::State& state) {
                BM_HostileLoadAndAnswer(state, file, false, false, true);
            })->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();
// The 100 MB lines: load only (reading the value back copies 100 MB by definition).
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, line_100MB_reg, "100MB-line-reg", true, false, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, line_100MB_hive, "100MB-line-hive", true, false, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_HostileLoadAndAnswer, comment_100MB_reg, "100MB-comment-reg", true, false,
                  false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// One catalogue read through the hostile layer of an already loaded store.
void BM_HostileRead(benchmark::State& state, const std::string& name) {
    RegistryFileStore store({files().hostile(name), files().catalogueFile},
                            slidevane::TextCodec::Narrow::Utf8, {});
    for (auto _ : state) {
        answer(store, false);
    }
}
BENCHMARK_CAPTURE(BM_HostileRead, long_link_target, "long-link-target");
BENCHMARK_CAPTURE(BM_HostileRead, part_100000_link_target, "100000-part-link-target");
BENCHMARK_CAPTURE(BM_HostileRead, link_loops, "link-loops");

} // namespace

BENCHMARK_MAIN();
