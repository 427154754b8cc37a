#include "adapters/qt/DecodedPictures.h"

namespace slidevane {

qsizetype DecodedPictures::Cost(const Entry& entry) {
    return static_cast<qsizetype>(entry.file.size()) +
           static_cast<qsizetype>(entry.picture.sizeInBytes());
}

std::optional<QImage> DecodedPictures::Find(const std::string& file, QSize shown) {
    // A linear scan: comparing sizes first rejects almost every entry, and there are few.
    for (qsizetype i = entries_.size() - 1; i >= 0; --i) {
        Entry const& entry = entries_[i];
        if (entry.file.size() == file.size() && entry.shown == shown && entry.file == file) {
            entries_.move(i, entries_.size() - 1);
            return entries_.last().picture;
        }
    }
    return std::nullopt;
}

void DecodedPictures::Keep(std::string file, QSize shown, const QImage& picture) {
    Entry entry{std::move(file), shown, picture};
    qsizetype const cost = Cost(entry);
    if (cost > MaxBytes) {
        return;
    }
    while (!entries_.isEmpty() && (entries_.size() >= MaxEntries || bytes_ + cost > MaxBytes)) {
        bytes_ -= Cost(entries_.first());
        entries_.removeFirst();
    }
    entries_.append(std::move(entry));
    bytes_ += cost;
}

} // namespace slidevane
