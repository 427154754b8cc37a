#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <optional>
#include <string>

// Pictures already decoded by this window, keyed by the complete bytes of the file they came
// from and the size of the part that was decoded. Every load still reads its file afresh; only
// when the bytes are exactly those of an earlier decode for the same size is the decoder
// skipped, so a changed file can never show a stale picture (unlike a cache keyed on path, size
// and time). Hovering goes back and forth over the same few files.
//
// Owns: a bounded set of (bytes, size, picture) entries, least recently used dropped first. It
// does not read files or decide what a valid picture is (PictureFile).
namespace slidevane {

class DecodedPictures {
public:
    // The strip, both looks of every preview of a category and the web button fit many times.
    static constexpr qsizetype MaxEntries = 256;
    static constexpr qsizetype MaxBytes = 32 * 1024 * 1024; // files and pictures together

    std::optional<QImage> Find(const std::string& file, QSize shown);
    void Keep(std::string file, QSize shown, const QImage& picture);

private:
    struct Entry {
        std::string file;
        QSize shown;
        QImage picture;
    };
    static qsizetype Cost(const Entry& entry);

    QList<Entry> entries_; // most recently used last
    qsizetype bytes_ = 0;
};

} // namespace slidevane
