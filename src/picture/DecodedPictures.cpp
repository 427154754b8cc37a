#include "picture/DecodedPictures.h"

#include <algorithm>

namespace slidevane {

std::size_t DecodedPictures::Cost(const Entry& entry) {
    return entry.file.size() + entry.picture->pixels.size() * sizeof(std::uint32_t);
}

SharedPicture DecodedPictures::Find(std::string_view file, int width, int height) {
    // A linear scan from the most recent: comparing sizes first rejects almost every entry, and
    // a hover finds its pictures among the last few.
    for (std::size_t i = entries_.size(); i-- > 0;) {
        Entry const& entry = entries_[i];
        if (entry.file.size() == file.size() && entry.width == width && entry.height == height &&
            entry.file == file) {
            std::rotate(entries_.begin() + static_cast<std::ptrdiff_t>(i),
                        entries_.begin() + static_cast<std::ptrdiff_t>(i) + 1, entries_.end());
            return entries_.back().picture;
        }
    }
    return nullptr;
}

void DecodedPictures::Keep(std::string file, int width, int height, SharedPicture picture) {
    Entry entry{std::move(file), width, height, std::move(picture)};
    std::size_t const cost = Cost(entry);
    if (cost > MaxBytes) {
        return;
    }
    std::size_t drop = 0;
    std::size_t bytes = bytes_;
    while (drop < entries_.size() &&
           (entries_.size() - drop >= MaxEntries || bytes + cost > MaxBytes)) {
        bytes -= Cost(entries_[drop]);
        ++drop;
    }
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(drop));
    bytes_ = bytes + cost;
    entries_.push_back(std::move(entry));
}

} // namespace slidevane
