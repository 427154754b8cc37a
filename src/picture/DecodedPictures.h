#pragma once

#include "picture/GifDecoder.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Pictures already decoded, keyed by the complete bytes of the file they came from and the size
// of the part that was decoded. Every load still reads its file afresh; only when the bytes are
// exactly those of an earlier decode for the same size is the decoder skipped, so a changed file
// can never show a stale picture (unlike a cache keyed on path, size and time). Hovering goes
// back and forth over the same few files.
//
// Owns: a bounded set of (bytes, size, picture) entries, least recently used dropped first. It
// does not read files or decide what a valid picture is (PictureLoader).
namespace slidevane {

using SharedPicture = std::shared_ptr<const GifPicture>;

class DecodedPictures {
public:
    // The strip, both looks of every preview of a category and the web button fit many times.
    static constexpr std::size_t MaxEntries = 256;
    static constexpr std::size_t MaxBytes = 32 * 1024 * 1024; // files and pictures together

    // The picture decoded from exactly `file` for a control of width x height, or null.
    SharedPicture Find(std::string_view file, int width, int height);
    void Keep(std::string file, int width, int height, SharedPicture picture);

    std::size_t Entries() const { return entries_.size(); }
    std::size_t Bytes() const { return bytes_; }

private:
    struct Entry {
        std::string file;
        int width;
        int height;
        SharedPicture picture;
    };
    static std::size_t Cost(const Entry& entry);

    std::vector<Entry> entries_; // most recently used last
    std::size_t bytes_ = 0;
};

} // namespace slidevane
