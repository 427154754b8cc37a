#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace slidevane {

// A compound (structured storage) file with streams directly under the root, which is all the
// PowerPoint 97-2003 template export writes. Read, drop or keep streams, write back compactly
// in 512-byte sectors. Exists because the export puts an uncompressed preview of about half a
// megabyte into the summary stream; dropping that stream keeps the shipped templates small.
class CompoundFile {
public:
    struct Stream {
        std::u16string name;
        std::vector<std::uint8_t> data;
    };

    // Throws std::runtime_error on a damaged file or one with nested storages.
    static CompoundFile Parse(const std::vector<std::uint8_t>& bytes);
    std::vector<std::uint8_t> Serialise() const;

    const std::vector<Stream>& Streams() const { return streams_; }
    void Add(std::u16string name, std::vector<std::uint8_t> data);
    // True if a stream of that name was there.
    bool Remove(const std::u16string& name);

    std::array<std::uint8_t, 16> rootClass{};

private:
    std::vector<Stream> streams_;
};

} // namespace slidevane
