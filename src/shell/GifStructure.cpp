#include "shell/GifStructure.h"

namespace slidevane {

namespace {

class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    bool Has(std::size_t count) const { return bytes_.size() - at_ >= count; }
    unsigned Byte(std::size_t offset = 0) const {
        return static_cast<unsigned char>(bytes_[at_ + offset]);
    }
    unsigned Word(std::size_t offset) const { return Byte(offset) | (Byte(offset + 1) << 8); }
    void Skip(std::size_t count) { at_ += count; }

    // A colour table of 2^(n+1) entries follows when bit 7 of `flags` is set.
    bool SkipColourTable(unsigned flags) {
        if ((flags & 0x80) == 0) {
            return true;
        }
        std::size_t const size = 3u << ((flags & 7) + 1);
        if (!Has(size)) {
            return false;
        }
        Skip(size);
        return true;
    }

    // Data sub-blocks: a length byte and that many bytes, until a zero length.
    bool SkipSubBlocks() {
        while (Has(1)) {
            unsigned const length = Byte();
            Skip(1);
            if (length == 0) {
                return true;
            }
            if (!Has(length)) {
                return false;
            }
            Skip(length);
        }
        return false;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

bool FitsSide(unsigned side, int maxSide) {
    return side >= 1 && side <= static_cast<unsigned>(maxSide);
}

} // namespace

bool GifStructure::IsWholeGif(std::string_view bytes, int maxSide) {
    if (bytes.substr(0, 6) != "GIF87a" && bytes.substr(0, 6) != "GIF89a") {
        return false;
    }
    Cursor cursor(bytes);
    if (!cursor.Has(13) || !FitsSide(cursor.Word(6), maxSide) ||
        !FitsSide(cursor.Word(8), maxSide)) {
        return false;
    }
    unsigned const screenFlags = cursor.Byte(10);
    cursor.Skip(13);
    if (!cursor.SkipColourTable(screenFlags)) {
        return false;
    }
    bool image = false;
    while (cursor.Has(1)) {
        unsigned const introducer = cursor.Byte();
        cursor.Skip(1);
        if (introducer == ';') {
            return image;
        }
        if (introducer == '!') {
            if (!cursor.Has(1)) {
                return false;
            }
            cursor.Skip(1); // the extension's label
            if (!cursor.SkipSubBlocks()) {
                return false;
            }
        } else if (introducer == ',') {
            if (!cursor.Has(9) || !FitsSide(cursor.Word(4), maxSide) ||
                !FitsSide(cursor.Word(6), maxSide)) {
                return false;
            }
            unsigned const imageFlags = cursor.Byte(8);
            cursor.Skip(9);
            if (!cursor.SkipColourTable(imageFlags) || !cursor.Has(1)) {
                return false;
            }
            cursor.Skip(1); // the pixels' code size
            if (!cursor.SkipSubBlocks()) {
                return false;
            }
            image = true;
        } else {
            return false;
        }
    }
    return false; // no trailer: the file was cut short
}

} // namespace slidevane
