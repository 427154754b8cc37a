// Reading the start of a stream in a compound file: files built here the way the 97-2003 office
// formats lay them out (small streams in the small-stream area, large ones in sectors of their
// own), and the same files damaged where a reader would follow them.
#include "adapters/posix/CompoundFileReader.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace slidevane {
namespace {

constexpr std::uint32_t Free = 0xFFFFFFFF;
constexpr std::uint32_t End = 0xFFFFFFFE;
constexpr std::uint32_t FatMark = 0xFFFFFFFD;
constexpr std::size_t Sector = 512;

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    }
}
void Put16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

struct Stream {
    std::u16string name;
    std::string bytes;
};

// A version 3 compound file: sector 0 the allocation table, 1 the directory (the root and up to
// three streams, chained through their right siblings), 2 the small-stream table, then the
// small-stream area, then the sectors of the large streams.
std::string Build(const std::vector<Stream>& streams) {
    std::vector<std::uint32_t> fat(Sector / 4, Free);
    std::vector<std::uint32_t> miniFat(Sector / 4, Free);
    fat[0] = FatMark;
    fat[1] = End;
    fat[2] = End;
    std::string area;
    std::vector<std::pair<std::uint32_t, bool>> starts; // (first sector, small)
    for (const Stream& stream : streams) {
        if (stream.bytes.size() < 4096) {
            auto const first = static_cast<std::uint32_t>(area.size() / 64);
            std::size_t const count = (stream.bytes.size() + 63) / 64;
            for (std::size_t i = 0; i < count; ++i) {
                miniFat[first + i] =
                    i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : End;
            }
            area += stream.bytes;
            area.resize((area.size() + 63) / 64 * 64, '\0');
            starts.emplace_back(first, true);
        } else {
            starts.emplace_back(0, false);
        }
    }
    std::size_t const areaSectors = (area.size() + Sector - 1) / Sector;
    area.resize(areaSectors * Sector, '\0');
    for (std::size_t i = 0; i < areaSectors; ++i) {
        fat[3 + i] = i + 1 < areaSectors ? static_cast<std::uint32_t>(4 + i) : End;
    }
    std::string large;
    for (std::size_t s = 0; s < streams.size(); ++s) {
        if (starts[s].second) {
            continue;
        }
        auto const first = static_cast<std::uint32_t>(3 + areaSectors + large.size() / Sector);
        std::size_t const count = (streams[s].bytes.size() + Sector - 1) / Sector;
        for (std::size_t i = 0; i < count; ++i) {
            fat[first + i] = i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : End;
        }
        large += streams[s].bytes;
        large.resize((large.size() + Sector - 1) / Sector * Sector, '\0');
        starts[s].first = first;
    }

    std::string header(Sector, '\0');
    header.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    Put16(header, 0x18, 0x3E);
    Put16(header, 0x1A, 3);
    Put16(header, 0x1C, 0xFFFE);
    Put16(header, 0x1E, 9);
    Put16(header, 0x20, 6);
    Put32(header, 0x2C, 1); // allocation table sectors
    Put32(header, 0x30, 1); // first directory sector
    Put32(header, 0x38, 4096);
    Put32(header, 0x3C, 2); // first small-stream table sector
    Put32(header, 0x40, 1);
    Put32(header, 0x44, End);
    for (std::size_t i = 0; i < 109; ++i) {
        Put32(header, 0x4C + 4 * i, i == 0 ? 0 : Free);
    }

    std::string directory(Sector, '\0');
    auto const entry = [&](std::size_t index, std::u16string_view name, std::uint8_t type,
                           std::uint32_t right, std::uint32_t child, std::uint32_t start,
                           std::uint32_t size) {
        std::size_t const at = index * 128;
        for (std::size_t i = 0; i < name.size(); ++i) {
            Put16(directory, at + 2 * i, name[i]);
        }
        Put16(directory, at + 0x40, static_cast<std::uint16_t>(2 * name.size() + 2));
        directory[at + 0x42] = static_cast<char>(type);
        Put32(directory, at + 0x44, Free);
        Put32(directory, at + 0x48, right);
        Put32(directory, at + 0x4C, child);
        Put32(directory, at + 0x74, start);
        Put32(directory, at + 0x78, size);
    };
    entry(0, u"Root Entry", 5, Free, streams.empty() ? Free : 1, area.empty() ? End : 3,
          static_cast<std::uint32_t>(area.size()));
    for (std::size_t s = 0; s < streams.size(); ++s) {
        entry(s + 1, streams[s].name, 2, s + 1 < streams.size() ? s + 2 : Free, Free,
              starts[s].first, static_cast<std::uint32_t>(streams[s].bytes.size()));
    }
    for (std::size_t s = streams.size() + 1; s < 4; ++s) {
        entry(s, u"", 0, Free, Free, 0, 0);
    }

    std::string table(Sector, '\0');
    std::string miniTable(Sector, '\0');
    for (std::size_t i = 0; i < Sector / 4; ++i) {
        Put32(table, 4 * i, fat[i]);
        Put32(miniTable, 4 * i, miniFat[i]);
    }
    return header + table + directory + miniTable + area + large;
}

std::string Pattern(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(seed + i * 7);
    }
    return bytes;
}

CompoundFileReader Over(const std::string& file) {
    return CompoundFileReader(
        [file](std::uint64_t offset, std::size_t count, std::string& bytes) {
            bytes = offset < file.size() ? file.substr(offset, count) : std::string();
            return true;
        },
        file.size());
}

std::string const CurrentUser = Pattern(40, 'a');
std::string const Document = Pattern(150, 'b');
std::string const Pictures = Pattern(5000, 'c');
std::string const Sample = Build(
    {{u"Current User", CurrentUser}, {u"PowerPoint Document", Document}, {u"Pictures", Pictures}});

struct Read {
    const char* label;
    std::u16string name;
    std::size_t count;
    std::optional<std::string> expected;
};

class CompoundFileReads : public ::testing::TestWithParam<Read> {};

TEST_P(CompoundFileReads, TheStartOfANamedStream) {
    CompoundFileReader file = Over(Sample);
    ASSERT_TRUE(file.Valid());
    EXPECT_EQ(file.StreamStart(GetParam().name, GetParam().count), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, CompoundFileReads,
    ::testing::Values(Read{"SmallStream", u"Current User", 16, CurrentUser.substr(0, 16)},
                      Read{"NamesIgnoreLatinCase", u"CURRENT user", 16, CurrentUser.substr(0, 16)},
                      Read{"AcrossSmallSectors", u"PowerPoint Document", 150, Document},
                      Read{"AcrossLargeSectors", u"Pictures", 4096, Pictures.substr(0, 4096)},
                      Read{"NoMoreThanTheStream", u"Current User", 1000, CurrentUser},
                      Read{"MissingStream", u"EncryptedSummary", 16, std::nullopt},
                      Read{"NotTheRootItself", u"Root Entry", 16, std::nullopt}),
    [](const ::testing::TestParamInfo<Read>& info) { return info.param.label; });

struct Damage {
    const char* label;
    std::function<void(std::string&)> apply;
    std::u16string sought = u"Current User";
};

class DamagedCompoundFiles : public ::testing::TestWithParam<Damage> {};

// Whatever is wrong, the search ends at once with no stream; nothing is read outside the file.
TEST_P(DamagedCompoundFiles, GiveNoStream) {
    std::string file = Sample;
    GetParam().apply(file);
    CompoundFileReader compound(
        [&file](std::uint64_t offset, std::size_t count, std::string& bytes) {
            EXPECT_LE(offset, file.size());
            bytes = offset < file.size() ? file.substr(offset, count) : std::string();
            return true;
        },
        file.size());
    EXPECT_EQ(compound.StreamStart(GetParam().sought, 4096), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedCompoundFiles,
    ::testing::Values(
        Damage{"NotACompoundFile", [](std::string& f) { f[0] = 'P'; }},
        Damage{"UnknownSectorSize", [](std::string& f) { Put16(f, 0x1E, 20); }},
        Damage{"CutInTheHeader", [](std::string& f) { f.resize(300); }},
        Damage{"CutBeforeTheDirectory", [](std::string& f) { f.resize(2 * Sector + 10); }},
        Damage{"DirectoryBeyondTheFile", [](std::string& f) { Put32(f, 0x30, 0x00FFFFFF); }},
        Damage{"RootIsNoRoot", [](std::string& f) { f[2 * Sector + 0x42] = 2; }},
        // Entry 1 names itself as its right sibling, and the streams sought are not there.
        Damage{"SiblingsInALoop",
               [](std::string& f) {
                   std::size_t const entry = 2 * Sector + 128;
                   f[entry] = 'X';
                   Put32(f, entry + 0x48, 1);
               }},
        Damage{"TablesAsManyAsSectorsCanName",
               [](std::string& f) {
                   Put32(f, 0x2C, 0x7FFFFFFF);
                   Put32(f, 0x44, 0);
                   Put32(f, 0x30, 0x00FFFFF0);
               }},
        Damage{"AStreamThatIsAStorage", [](std::string& f) { f[2 * Sector + 128 + 0x42] = 1; }},
        Damage{"AStreamBeyondTheFile",
               [](std::string& f) { Put32(f, 2 * Sector + 3 * 128 + 0x74, 0x00FFFFF0); },
               u"Pictures"},
        Damage{"ASmallStreamBeyondItsArea",
               [](std::string& f) { Put32(f, 2 * Sector + 128 + 0x74, 0x00FFFFF0); }},
        Damage{"ALargeStreamCutShort", [](std::string& f) { f.resize(f.size() - 2000); },
               u"Pictures"}),
    [](const ::testing::TestParamInfo<Damage>& info) { return info.param.label; });

// A chain that loops is walked no further than the file has sectors.
TEST(CompoundFileReader, AChainInALoopEnds) {
    std::string file = Build({{u"Pictures", Pattern(5000, 'd')}});
    // Every sector of the large stream leads back to its first.
    std::size_t const table = Sector;
    std::uint32_t const first = 3;
    for (std::uint32_t s = first; s < first + 10; ++s) {
        Put32(file, table + 4 * s, first);
    }
    CompoundFileReader compound = Over(file);
    std::optional<std::string> const start = compound.StreamStart(u"Pictures", 4096);
    // What a looping chain gives is the loop's bytes, never a hang.
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->size(), 4096u);
}

} // namespace
} // namespace slidevane
