#include "CompoundFile.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <stdexcept>

namespace slidevane {

namespace {

constexpr std::uint32_t Free = 0xFFFFFFFF;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FatSector = 0xFFFFFFFD;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;
constexpr std::uint32_t MiniCutoff = 4096;
constexpr std::size_t SectorSize = 512;
constexpr std::size_t MiniSize = 64;
constexpr std::uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

[[noreturn]] void Damaged(const char* why) {
    throw std::runtime_error(std::string("damaged compound file: ") + why);
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 4 > b.size())
        Damaged("read past the end");
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 2 > b.size())
        Damaged("read past the end");
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Follows a chain, refusing loops so a damaged file cannot spin forever.
std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t>& table, std::uint32_t start) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t s = start; s != EndOfChain;) {
        if (s >= table.size() || out.size() > table.size())
            Damaged("broken sector chain");
        out.push_back(s);
        s = table[s];
    }
    return out;
}

// Directory order: shorter names first, then by upper-cased code units.
bool NameLess(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size())
        return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto up = [](char16_t c) {
            return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
        };
        if (up(a[i]) != up(b[i]))
            return up(a[i]) < up(b[i]);
    }
    return false;
}

} // namespace

CompoundFile CompoundFile::Parse(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 512 || std::memcmp(bytes.data(), Signature, 8) != 0)
        Damaged("no signature");
    const std::size_t sector = std::size_t{1} << Get16(bytes, 30);
    const std::size_t mini = std::size_t{1} << Get16(bytes, 32);
    if (sector != 512 && sector != 4096)
        Damaged("odd sector size");
    const std::uint32_t cutoff = Get32(bytes, 56);
    auto sectorAt = [&](std::uint32_t s) {
        const std::size_t at = (std::size_t{s} + 1) * sector;
        if (at + sector > bytes.size())
            Damaged("sector past the end");
        return at;
    };

    std::vector<std::uint32_t> fatSectors;
    const std::uint32_t fatCount = Get32(bytes, 44);
    for (std::uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(Get32(bytes, 76 + 4 * i));
    for (std::uint32_t d = Get32(bytes, 68);
         fatSectors.size() < fatCount && d != EndOfChain && d != Free;) {
        const std::size_t at = sectorAt(d);
        for (std::size_t i = 0; i + 1 < sector / 4 && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(Get32(bytes, at + 4 * i));
        d = Get32(bytes, at + sector - 4);
    }
    std::vector<std::uint32_t> fat;
    for (std::uint32_t s : fatSectors) {
        const std::size_t at = sectorAt(s);
        for (std::size_t i = 0; i < sector / 4; ++i)
            fat.push_back(Get32(bytes, at + 4 * i));
    }
    auto readChain = [&](std::uint32_t start, std::uint64_t size) {
        std::vector<std::uint8_t> out;
        for (std::uint32_t s : Chain(fat, start)) {
            const std::size_t at = sectorAt(s);
            out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + sector));
        }
        if (out.size() < size)
            Damaged("stream shorter than its size");
        out.resize(size);
        return out;
    };

    std::vector<std::uint8_t> directory;
    for (std::uint32_t s : Chain(fat, Get32(bytes, 48))) {
        const std::size_t at = sectorAt(s);
        directory.insert(directory.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                         bytes.begin() + static_cast<std::ptrdiff_t>(at + sector));
    }
    if (directory.size() < 128 || directory[66] != 5)
        Damaged("no root entry");

    auto entrySize = [&](std::size_t e) {
        std::uint64_t size = Get32(directory, e + 120);
        if (sector == 4096)
            size |= std::uint64_t{Get32(directory, e + 124)} << 32;
        return size;
    };
    const std::vector<std::uint8_t> miniStream = readChain(Get32(directory, 116), entrySize(0));
    std::vector<std::uint32_t> miniFat;
    if (Get32(bytes, 60) != EndOfChain) {
        const std::vector<std::uint8_t> raw =
            readChain(Get32(bytes, 60), std::uint64_t{Get32(bytes, 64)} * sector);
        for (std::size_t i = 0; i + 4 <= raw.size(); i += 4)
            miniFat.push_back(Get32(raw, i));
    }

    CompoundFile file;
    std::memcpy(file.rootClass.data(), directory.data() + 80, 16);
    // Walk the root's sibling tree so only reachable entries count.
    std::function<void(std::uint32_t, int)> walk = [&](std::uint32_t id, int depth) {
        if (id == NoStream)
            return;
        const std::size_t e = std::size_t{id} * 128;
        if (e + 128 > directory.size() || depth > 64)
            Damaged("bad directory entry");
        walk(Get32(directory, e + 68), depth + 1);
        const std::uint8_t type = directory[e + 66];
        if (type == 1)
            throw std::runtime_error("compound files with nested storages are not handled");
        if (type == 2) {
            const std::uint16_t nameBytes = Get16(directory, e + 64);
            std::u16string name;
            for (std::size_t i = 0; i + 2 < nameBytes && i < 64; i += 2)
                name += static_cast<char16_t>(Get16(directory, e + i));
            const std::uint64_t size = entrySize(e);
            const std::uint32_t start = Get32(directory, e + 116);
            std::vector<std::uint8_t> data;
            if (size < cutoff) {
                for (std::uint32_t m : Chain(miniFat, size == 0 ? EndOfChain : start)) {
                    const std::size_t at = std::size_t{m} * mini;
                    if (at + mini > miniStream.size())
                        Damaged("mini sector past the end");
                    data.insert(data.end(), miniStream.begin() + static_cast<std::ptrdiff_t>(at),
                                miniStream.begin() + static_cast<std::ptrdiff_t>(at + mini));
                }
                if (data.size() < size)
                    Damaged("mini stream shorter than its size");
                data.resize(size);
            } else {
                data = readChain(start, size);
            }
            file.streams_.push_back(Stream{std::move(name), std::move(data)});
        }
        walk(Get32(directory, e + 72), depth + 1);
    };
    walk(Get32(directory, 76), 0);
    return file;
}

void CompoundFile::Add(std::u16string name, std::vector<std::uint8_t> data) {
    if (name.empty() || name.size() > 31)
        throw std::invalid_argument("stream names are 1 to 31 characters");
    Remove(name);
    streams_.push_back(Stream{std::move(name), std::move(data)});
}

bool CompoundFile::Remove(const std::u16string& name) {
    const auto before = streams_.size();
    std::erase_if(streams_, [&](const Stream& s) { return s.name == name; });
    return streams_.size() != before;
}

std::vector<std::uint8_t> CompoundFile::Serialise() const {
    std::vector<const Stream*> order;
    for (const Stream& s : streams_)
        order.push_back(&s);
    std::sort(order.begin(), order.end(),
              [](const Stream* a, const Stream* b) { return NameLess(a->name, b->name); });

    // Small streams share the mini stream in 64-byte pieces; big ones get whole sectors.
    std::vector<std::uint8_t> miniStream;
    std::vector<std::uint32_t> miniFat;
    std::vector<std::uint32_t> starts(order.size(), EndOfChain);
    std::vector<std::size_t> bigIndex;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto& data = order[i]->data;
        if (data.size() >= MiniCutoff) {
            bigIndex.push_back(i);
            continue;
        }
        if (data.empty())
            continue;
        const std::uint32_t first = static_cast<std::uint32_t>(miniFat.size());
        const std::size_t pieces = (data.size() + MiniSize - 1) / MiniSize;
        for (std::size_t p = 0; p < pieces; ++p)
            miniFat.push_back(p + 1 == pieces ? EndOfChain
                                              : first + static_cast<std::uint32_t>(p) + 1);
        starts[i] = first;
        miniStream.insert(miniStream.end(), data.begin(), data.end());
        miniStream.resize(miniFat.size() * MiniSize, 0);
    }

    auto sectorsFor = [](std::size_t bytes) { return (bytes + SectorSize - 1) / SectorSize; };
    const std::size_t entries = order.size() + 1;
    const std::size_t dirSectors = sectorsFor(entries * 128);
    const std::size_t miniFatSectors = sectorsFor(miniFat.size() * 4);
    const std::size_t miniStreamSectors = sectorsFor(miniStream.size());
    std::size_t dataSectors = dirSectors + miniFatSectors + miniStreamSectors;
    for (std::size_t i : bigIndex)
        dataSectors += sectorsFor(order[i]->data.size());
    std::size_t fatSectors = 1;
    while ((dataSectors + fatSectors) > fatSectors * (SectorSize / 4))
        ++fatSectors;
    if (fatSectors > 109)
        throw std::runtime_error("compound file too large for a header-only sector table");

    const std::size_t total = fatSectors + dataSectors;
    std::vector<std::uint32_t> fat(fatSectors * (SectorSize / 4), Free);
    std::vector<std::uint8_t> out((total + 1) * SectorSize, 0);
    std::uint32_t next = 0;
    for (std::size_t i = 0; i < fatSectors; ++i)
        fat[next++] = FatSector;
    // Lays `count` sectors in a row, chains them, copies `data` in; returns the first sector.
    auto lay = [&](std::size_t count, const std::uint8_t* data, std::size_t size) -> std::uint32_t {
        if (count == 0)
            return EndOfChain;
        const std::uint32_t first = next;
        for (std::size_t i = 0; i < count; ++i, ++next)
            fat[next] = i + 1 == count ? EndOfChain : next + 1;
        if (size > 0)
            std::memcpy(out.data() + (std::size_t{first} + 1) * SectorSize, data, size);
        return first;
    };

    std::vector<std::uint8_t> directory(dirSectors * SectorSize, 0);
    const std::uint32_t dirStart = next;
    next += static_cast<std::uint32_t>(dirSectors);
    for (std::size_t i = 0; i < dirSectors; ++i)
        fat[dirStart + i] =
            i + 1 == dirSectors ? EndOfChain : dirStart + static_cast<std::uint32_t>(i) + 1;

    std::vector<std::uint8_t> miniFatBytes(miniFatSectors * SectorSize, 0xFF);
    for (std::size_t i = 0; i < miniFat.size(); ++i)
        Put32(miniFatBytes, i * 4, miniFat[i]);
    const std::uint32_t miniFatStart =
        lay(miniFatSectors, miniFatBytes.data(), miniFatBytes.size());
    const std::uint32_t miniStreamStart =
        lay(miniStreamSectors, miniStream.data(), miniStream.size());
    for (std::size_t i : bigIndex)
        starts[i] =
            lay(sectorsFor(order[i]->data.size()), order[i]->data.data(), order[i]->data.size());

    auto writeEntry = [&](std::size_t id, const std::u16string& name, std::uint8_t type,
                          std::uint32_t left, std::uint32_t right, std::uint32_t child,
                          std::uint32_t start, std::uint64_t size) {
        const std::size_t e = id * 128;
        for (std::size_t i = 0; i < name.size(); ++i)
            Put16(directory, e + 2 * i, name[i]);
        Put16(directory, e + 64, static_cast<std::uint16_t>((name.size() + 1) * 2));
        directory[e + 66] = type;
        directory[e + 67] = 1; // black: readers do not rebalance, so colour is only a formality
        Put32(directory, e + 68, left);
        Put32(directory, e + 72, right);
        Put32(directory, e + 76, child);
        Put32(directory, e + 116, start);
        Put32(directory, e + 120, static_cast<std::uint32_t>(size));
    };
    // Balanced tree over the sorted streams: entry id i + 1 holds order[i].
    std::function<std::uint32_t(std::size_t, std::size_t)> tree =
        [&](std::size_t lo, std::size_t hi) -> std::uint32_t {
        if (lo >= hi)
            return NoStream;
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::uint32_t left = tree(lo, mid);
        const std::uint32_t right = tree(mid + 1, hi);
        writeEntry(mid + 1, order[mid]->name, 2, left, right, NoStream, starts[mid],
                   order[mid]->data.size());
        return static_cast<std::uint32_t>(mid + 1);
    };
    const std::uint32_t top = tree(0, order.size());
    writeEntry(0, u"Root Entry", 5, NoStream, NoStream, top, miniStreamStart, miniStream.size());
    std::memcpy(directory.data() + 80, rootClass.data(), 16);
    for (std::size_t id = entries; id < dirSectors * 4; ++id) {
        Put32(directory, id * 128 + 68, NoStream);
        Put32(directory, id * 128 + 72, NoStream);
        Put32(directory, id * 128 + 76, NoStream);
    }
    std::memcpy(out.data() + (std::size_t{dirStart} + 1) * SectorSize, directory.data(),
                directory.size());

    for (std::size_t i = 0; i < fatSectors; ++i)
        for (std::size_t j = 0; j < SectorSize / 4; ++j)
            Put32(out, (i + 1) * SectorSize + 4 * j, fat[i * (SectorSize / 4) + j]);

    std::memcpy(out.data(), Signature, 8);
    Put16(out, 24, 0x003E);
    Put16(out, 26, 3);
    Put16(out, 28, 0xFFFE);
    Put16(out, 30, 9);
    Put16(out, 32, 6);
    Put32(out, 44, static_cast<std::uint32_t>(fatSectors));
    Put32(out, 48, dirStart);
    Put32(out, 56, MiniCutoff);
    Put32(out, 60, miniFatSectors ? miniFatStart : EndOfChain);
    Put32(out, 64, static_cast<std::uint32_t>(miniFatSectors));
    Put32(out, 68, EndOfChain);
    Put32(out, 72, 0);
    for (std::size_t i = 0; i < 109; ++i)
        Put32(out, 76 + 4 * i, i < fatSectors ? static_cast<std::uint32_t>(i) : Free);
    return out;
}

} // namespace slidevane
