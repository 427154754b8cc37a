#include "adapters/posix/CompoundFileReader.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace slidevane {

namespace {

constexpr std::string_view Signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr std::size_t HeaderSize = 512;
constexpr std::size_t HeaderFatEntries = 109;
constexpr std::uint32_t LastRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t NoEntry = 0xFFFFFFFF;
constexpr unsigned MiniSectorShift = 6;
constexpr std::size_t EntrySize = 128;
constexpr std::size_t MaxCount = 4096;
constexpr std::uint8_t StreamEntry = 2;
constexpr std::uint8_t RootEntry = 5;

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

std::uint16_t Le16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// Entry names compare as the format orders them: without regard to the case of Latin letters.
bool SameName(std::u16string_view a, std::u16string_view b) {
    auto const upper = [](char16_t c) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char16_t x, char16_t y) { return upper(x) == upper(y); });
}

} // namespace

CompoundFileReader::CompoundFileReader(Reader read, std::uint64_t fileSize)
    : read_(std::move(read)), fileSize_(fileSize) {
    std::string header;
    if (fileSize_ < HeaderSize || !read_(0, HeaderSize, header) || header.size() < HeaderSize ||
        std::string_view(header).substr(0, Signature.size()) != Signature ||
        Le16(header, 0x1C) != 0xFFFE) {
        return;
    }
    unsigned const shift = Le16(header, 0x1E);
    if ((shift != 9 && shift != 12) || Le16(header, 0x20) != MiniSectorShift) {
        return;
    }
    sectorShift_ = shift;
    fatSectors_ = Le32(header, 0x2C);
    directoryStart_ = Le32(header, 0x30);
    miniCutoff_ = Le32(header, 0x38);
    miniFatStart_ = Le32(header, 0x3C);
    difatStart_ = Le32(header, 0x44);
    header_ = std::move(header);
    valid_ = true;
}

std::uint64_t CompoundFileReader::SectorOffset(std::uint32_t sector) const {
    return (std::uint64_t{sector} + 1) << sectorShift_;
}

std::optional<std::uint32_t> CompoundFileReader::Word(std::uint64_t offset) {
    std::string bytes;
    if (offset > fileSize_ || !read_(offset, 4, bytes) || bytes.size() < 4) {
        return std::nullopt;
    }
    return Le32(bytes, 0);
}

std::optional<std::uint32_t> CompoundFileReader::FatSector(std::uint32_t index) {
    if (index >= fatSectors_) {
        return std::nullopt;
    }
    if (index < HeaderFatEntries) {
        return Le32(header_, 0x4C + 4 * std::size_t{index});
    }
    // Further table sectors are listed in a chain of sectors, each ending with the next's number.
    std::uint32_t const perSector = (1u << sectorShift_) / 4 - 1;
    std::uint32_t const rest = index - static_cast<std::uint32_t>(HeaderFatEntries);
    std::uint32_t difat = difatStart_;
    for (std::uint32_t hop = 0; hop < rest / perSector; ++hop) {
        if (difat > LastRegularSector || hop > (fileSize_ >> sectorShift_)) {
            return std::nullopt;
        }
        std::optional<std::uint32_t> const next =
            Word(SectorOffset(difat) + 4 * std::uint64_t{perSector});
        if (!next) {
            return std::nullopt;
        }
        difat = *next;
    }
    if (difat > LastRegularSector) {
        return std::nullopt;
    }
    return Word(SectorOffset(difat) + 4 * std::uint64_t{rest % perSector});
}

std::optional<std::uint32_t> CompoundFileReader::Next(std::uint32_t sector) {
    std::uint32_t const perSector = (1u << sectorShift_) / 4;
    std::optional<std::uint32_t> const fat = FatSector(sector / perSector);
    if (!fat || *fat > LastRegularSector) {
        return std::nullopt;
    }
    return Word(SectorOffset(*fat) + 4 * std::uint64_t{sector % perSector});
}

std::optional<std::uint32_t> CompoundFileReader::Along(std::uint32_t start, std::uint64_t steps) {
    // A chain has no more links than the file has sectors; a longer walk is going round a loop.
    if (steps > (fileSize_ >> sectorShift_)) {
        return std::nullopt;
    }
    std::uint32_t sector = start;
    for (std::uint64_t step = 0; step < steps; ++step) {
        if (sector > LastRegularSector) {
            return std::nullopt;
        }
        std::optional<std::uint32_t> const next = Next(sector);
        if (!next) {
            return std::nullopt;
        }
        sector = *next;
    }
    if (sector > LastRegularSector) {
        return std::nullopt;
    }
    return sector;
}

std::optional<std::uint64_t> CompoundFileReader::ChainOffset(std::uint32_t start,
                                                             std::uint64_t position) {
    std::optional<std::uint32_t> const sector = Along(start, position >> sectorShift_);
    if (!sector) {
        return std::nullopt;
    }
    std::uint64_t const offset =
        SectorOffset(*sector) + (position & ((std::uint64_t{1} << sectorShift_) - 1));
    if (offset >= fileSize_) {
        return std::nullopt;
    }
    return offset;
}

std::optional<CompoundFileReader::Entry> CompoundFileReader::ReadEntry(std::uint32_t index) {
    std::optional<std::uint64_t> const at =
        ChainOffset(directoryStart_, std::uint64_t{index} * EntrySize);
    std::string bytes;
    if (!at || !read_(*at, EntrySize, bytes) || bytes.size() < EntrySize) {
        return std::nullopt;
    }
    Entry entry;
    // The stored length counts the terminating NUL, in bytes.
    std::size_t const units = std::min<std::size_t>(Le16(bytes, 0x40) / 2, 32);
    for (std::size_t i = 0; i + 1 < units; ++i) {
        entry.name.push_back(static_cast<char16_t>(Le16(bytes, 2 * i)));
    }
    entry.type = static_cast<std::uint8_t>(bytes[0x42]);
    entry.left = Le32(bytes, 0x44);
    entry.right = Le32(bytes, 0x48);
    entry.child = Le32(bytes, 0x4C);
    entry.start = Le32(bytes, 0x74);
    entry.size = Le32(bytes, 0x78);
    if (sectorShift_ == 12) {
        entry.size |= std::uint64_t{Le32(bytes, 0x7C)} << 32;
    }
    return entry;
}

std::optional<std::string> CompoundFileReader::ReadChain(std::uint32_t start, std::size_t count,
                                                         bool mini, std::uint32_t miniStreamStart) {
    std::string out;
    std::uint32_t sector = start;
    unsigned const shift = mini ? MiniSectorShift : sectorShift_;
    while (out.size() < count) {
        if (sector > LastRegularSector) {
            return std::nullopt;
        }
        // A small stream's sectors lie in the small-stream area, itself a chain of sectors.
        std::optional<std::uint64_t> const at =
            mini ? ChainOffset(miniStreamStart, std::uint64_t{sector} << MiniSectorShift)
                 : std::optional<std::uint64_t>(SectorOffset(sector));
        std::size_t const want = std::min(count - out.size(), std::size_t{1} << shift);
        std::string bytes;
        if (!at || *at > fileSize_ || fileSize_ - *at < want || !read_(*at, want, bytes) ||
            bytes.size() < want) {
            return std::nullopt;
        }
        out += bytes;
        if (out.size() < count) {
            std::optional<std::uint32_t> next;
            if (!mini) {
                next = Next(sector);
            } else if (std::optional<std::uint64_t> const entry =
                           ChainOffset(miniFatStart_, std::uint64_t{sector} * 4)) {
                next = Word(*entry);
            }
            if (!next) {
                return std::nullopt;
            }
            sector = *next;
        }
    }
    return out;
}

std::optional<std::string> CompoundFileReader::StreamStart(std::u16string_view name,
                                                           std::size_t count) {
    if (!valid_ || count > MaxCount) {
        return std::nullopt;
    }
    std::optional<Entry> const root = ReadEntry(0);
    if (!root || root->type != RootEntry) {
        return std::nullopt;
    }
    // The root's own entries form a tree through their siblings; a damaged file may link it
    // into a loop, which ends the search.
    std::vector<std::uint32_t> pending{root->child};
    std::unordered_set<std::uint32_t> seen;
    while (!pending.empty()) {
        std::uint32_t const index = pending.back();
        pending.pop_back();
        if (index == NoEntry) {
            continue;
        }
        if (!seen.insert(index).second || seen.size() > fileSize_ / EntrySize) {
            return std::nullopt;
        }
        std::optional<Entry> const entry = ReadEntry(index);
        if (!entry) {
            return std::nullopt;
        }
        if (SameName(entry->name, name)) {
            if (entry->type != StreamEntry) {
                return std::nullopt;
            }
            std::size_t const wanted =
                static_cast<std::size_t>(std::min<std::uint64_t>(count, entry->size));
            return ReadChain(entry->start, wanted, entry->size < miniCutoff_, root->start);
        }
        pending.push_back(entry->left);
        pending.push_back(entry->right);
    }
    return std::nullopt;
}

} // namespace slidevane
