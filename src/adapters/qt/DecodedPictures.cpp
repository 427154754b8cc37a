#include "adapters/qt/DecodedPictures.h"

namespace slidevane {

qsizetype DecodedPictures::Cost(const Entry& entry) {
    return entry.file.size() + static_cast<qsizetype>(entry.picture.sizeInBytes());
}

std::optional<QImage> DecodedPictures::Find(const QByteArray& file) {
    // A linear scan: comparing sizes first rejects almost every entry, and there are few.
    for (qsizetype i = entries_.size() - 1; i >= 0; --i) {
        if (entries_[i].file.size() == file.size() && entries_[i].file == file) {
            entries_.move(i, entries_.size() - 1);
            return entries_.last().picture;
        }
    }
    return std::nullopt;
}

void DecodedPictures::Keep(const QByteArray& file, const QImage& picture) {
    Entry entry{file, picture};
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
