#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Reads the start of a named stream in a compound file (the container of the 97-2003 office
// formats, and of encrypted OOXML packages): the header, the sector allocation table, the
// directory, and the small-stream area as far as needed, nothing more. The bytes come from a
// reader, so a file is read where it lies and nothing is loaded whole.
//
// Every offset, chain and tree it follows comes from the file, which may be damaged or made to
// hurt: no chain is followed further than the file has sectors, a loop in the directory ends
// the search, nothing is read outside the file, and what does not add up gives "no such
// stream". A chain that loops within the file gives the loop's bytes, as any reader would.
//
// Owns: nothing but the header it read. It does not know what a stream means.
namespace slidevane {

class CompoundFileReader {
public:
    // Up to `count` bytes at `offset` into `bytes` (fewer where the file ends); false when the
    // read fails.
    using Reader = std::function<bool(std::uint64_t offset, std::size_t count, std::string& bytes)>;

    CompoundFileReader(Reader read, std::uint64_t fileSize);

    // Whether the file starts as a compound file, with a header this reader understands.
    bool Valid() const { return valid_; }

    // The first `count` bytes (at most 4096) of the stream `name` among the root storage's own
    // entries, fewer when the stream is shorter; nullopt when the file is not valid, holds no
    // such stream, or is damaged on the way.
    std::optional<std::string> StreamStart(std::u16string_view name, std::size_t count);

private:
    struct Entry {
        std::u16string name;
        std::uint8_t type = 0;
        std::uint32_t left = 0, right = 0, child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    std::uint64_t SectorOffset(std::uint32_t sector) const;
    std::optional<std::uint32_t> Word(std::uint64_t offset);
    std::optional<std::uint32_t> FatSector(std::uint32_t index);
    std::optional<std::uint32_t> Next(std::uint32_t sector);
    // The sector `steps` links along the chain from `start`.
    std::optional<std::uint32_t> Along(std::uint32_t start, std::uint64_t steps);
    std::optional<std::uint64_t> ChainOffset(std::uint32_t start, std::uint64_t position);
    std::optional<Entry> ReadEntry(std::uint32_t index);
    std::optional<std::string> ReadChain(std::uint32_t start, std::size_t count, bool mini,
                                         std::uint32_t miniStreamStart);

    Reader read_;
    std::uint64_t fileSize_ = 0;
    bool valid_ = false;
    unsigned sectorShift_ = 9;
    std::uint32_t directoryStart_ = 0;
    std::uint32_t miniFatStart_ = 0;
    std::uint32_t miniCutoff_ = 4096;
    std::uint32_t fatSectors_ = 0;
    std::uint32_t difatStart_ = 0;
    std::string header_;
};

} // namespace slidevane
