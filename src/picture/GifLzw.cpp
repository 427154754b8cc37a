#include "picture/GifLzw.h"

namespace slidevane {

namespace {

// Least significant bit first across the data sub-blocks, as GIF packs its codes.
class CodeReader {
public:
    explicit CodeReader(std::string_view data) : data_(data) {}

    // False when the data ends first.
    bool Next(unsigned width, unsigned& code) {
        while (count_ < width) {
            if (left_ == 0) {
                if (at_ >= data_.size()) {
                    return false;
                }
                left_ = static_cast<unsigned char>(data_[at_++]);
                if (left_ == 0 || data_.size() - at_ < left_) {
                    at_ = data_.size(); // the terminator, or blocks the caller did not check
                    left_ = 0;
                    return false;
                }
            }
            bits_ |= static_cast<std::uint32_t>(static_cast<unsigned char>(data_[at_++])) << count_;
            count_ += 8;
            --left_;
        }
        code = bits_ & ((1u << width) - 1);
        bits_ >>= width;
        count_ -= width;
        return true;
    }

private:
    std::string_view data_;
    std::size_t at_ = 0;
    std::size_t left_ = 0; // bytes left in the current sub-block
    std::uint32_t bits_ = 0;
    unsigned count_ = 0;
};

constexpr unsigned MaxWidth = 12;
constexpr unsigned NoCode = GifLzw::MaxCodes;

} // namespace

void GifLzw::Reset(unsigned clear) {
    // An earlier image with narrower pixels made table entries where these literals stand.
    for (unsigned code = 0; code < clear; ++code) {
        first_[code] = last_[code] = static_cast<std::uint8_t>(code);
        length_[code] = 1;
    }
}

GifLzw::Outcome GifLzw::Read(std::string_view data, unsigned minimumCodeSize, std::uint64_t pixels,
                             Sink* sink) {
    // Two is the least the format allows: with one, the first table entry would already need
    // a wider code than the one it is read with. Nothing deeper than a byte is a GIF pixel.
    if (minimumCodeSize < MinCodeSize || minimumCodeSize > MaxCodeSize) {
        return Outcome::Damaged;
    }
    unsigned const clear = 1u << minimumCodeSize;
    unsigned const end = clear + 1;
    unsigned width = minimumCodeSize + 1;
    unsigned next = clear + 2;
    unsigned previous = NoCode;
    Reset(clear);

    CodeReader reader(data);
    std::uint64_t done = 0;
    unsigned code = 0;
    while (done < pixels) {
        if (!reader.Next(width, code) || code == end) {
            return Outcome::Truncated;
        }
        if (code == clear) {
            width = minimumCodeSize + 1;
            next = clear + 2;
            previous = NoCode;
            continue;
        }
        if (previous == NoCode) {
            // The first code after a clear has nothing to extend: it must be a literal.
            if (code >= clear) {
                return Outcome::Damaged;
            }
        } else if (code < next || (code == next && next < MaxCodes)) {
            // A full table takes no new entries ("deferred clear"); the stream goes on with it.
            if (next < MaxCodes) {
                prefix_[next] = static_cast<std::uint16_t>(previous);
                length_[next] = static_cast<std::uint16_t>(length_[previous] + 1);
                first_[next] = first_[previous];
                // The new string is the previous one plus the first pixel of this one, which is
                // the previous one's own first pixel when this code is the entry being made.
                last_[next] = code == next ? first_[previous] : first_[code];
                ++next;
                if (next == (1u << width) && width < MaxWidth) {
                    ++width;
                }
            }
        } else {
            return Outcome::Damaged; // a code beyond the table
        }
        std::uint64_t const left = pixels - done;
        unsigned const length = left < length_[code] ? static_cast<unsigned>(left) : length_[code];
        if (sink != nullptr) {
            sink->Take(*this, code, done, length);
        }
        done += length;
        previous = code;
    }
    return Outcome::Whole;
}

void GifLzw::Spell(unsigned code, unsigned from, unsigned to, std::uint8_t* out) const {
    // The string of `code` is that of its prefix plus one pixel: walk back from its end.
    unsigned at = length_[code];
    while (at > to) {
        code = prefix_[code];
        --at;
    }
    while (at > from) {
        --at;
        out[at - from] = last_[code];
        code = prefix_[code];
    }
}

} // namespace slidevane
