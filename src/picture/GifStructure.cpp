#include "picture/GifStructure.h"

namespace slidevane {

namespace {

using Verdict = GifStructure::Verdict;

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
    bool TakeColourTable(unsigned flags, std::string_view& table) {
        if ((flags & 0x80) == 0) {
            return true;
        }
        std::size_t const size = 3u << ((flags & 7) + 1);
        if (!Has(size)) {
            return false;
        }
        table = bytes_.substr(at_, size);
        Skip(size);
        return true;
    }

    // Data sub-blocks: a length byte and that many bytes, until a zero length. Gives them with
    // their terminator.
    bool TakeSubBlocks(std::string_view& blocks) {
        std::size_t const start = at_;
        while (Has(1)) {
            unsigned const length = Byte();
            Skip(1);
            if (length == 0) {
                blocks = bytes_.substr(start, at_ - start);
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

Verdict SideVerdict(unsigned side, int maxSide) {
    if (side == 0) {
        return Verdict::Damaged;
    }
    return side <= static_cast<unsigned>(maxSide) ? Verdict::Whole : Verdict::TooLarge;
}

Verdict Worse(Verdict a, Verdict b) {
    return a != Verdict::Whole ? a : b;
}

constexpr unsigned GraphicControlLabel = 0xf9;

} // namespace

GifStructure::Verdict GifStructure::Check(std::string_view bytes, int maxSide, FirstImage* first) {
    if (bytes.substr(0, 6) != "GIF87a" && bytes.substr(0, 6) != "GIF89a") {
        return Verdict::NotGif;
    }
    Cursor cursor(bytes);
    if (!cursor.Has(13)) {
        return Verdict::Truncated;
    }
    Screen screen;
    screen.width = cursor.Word(6);
    screen.height = cursor.Word(8);
    if (Verdict const size =
            Worse(SideVerdict(screen.width, maxSide), SideVerdict(screen.height, maxSide));
        size != Verdict::Whole) {
        return size;
    }
    unsigned const screenFlags = cursor.Byte(10);
    screen.background = cursor.Byte(11);
    cursor.Skip(13);
    if (!cursor.TakeColourTable(screenFlags, screen.colours)) {
        return Verdict::Truncated;
    }

    GifLzw table;
    int transparent = -1; // from a graphic control extension, for the next image only
    bool image = false;
    while (cursor.Has(1)) {
        unsigned const introducer = cursor.Byte();
        cursor.Skip(1);
        if (introducer == ';') {
            return image ? Verdict::Whole : Verdict::NoImage;
        }
        if (introducer == '!') {
            if (!cursor.Has(1)) {
                return Verdict::Truncated;
            }
            unsigned const label = cursor.Byte();
            cursor.Skip(1);
            std::string_view blocks;
            if (!cursor.TakeSubBlocks(blocks)) {
                return Verdict::Truncated;
            }
            // Its first sub-block: length 4, then flags, delay (2 bytes), transparent index.
            if (label == GraphicControlLabel && blocks.size() >= 6 &&
                static_cast<unsigned char>(blocks[0]) >= 4) {
                bool const hasTransparent = (static_cast<unsigned char>(blocks[1]) & 1) != 0;
                transparent = hasTransparent ? static_cast<unsigned char>(blocks[4]) : -1;
            }
        } else if (introducer == ',') {
            if (!cursor.Has(9)) {
                return Verdict::Truncated;
            }
            Image descriptor;
            descriptor.left = cursor.Word(0);
            descriptor.top = cursor.Word(2);
            descriptor.width = cursor.Word(4);
            descriptor.height = cursor.Word(6);
            if (Verdict const size = Worse(SideVerdict(descriptor.width, maxSide),
                                           SideVerdict(descriptor.height, maxSide));
                size != Verdict::Whole) {
                return size;
            }
            unsigned const imageFlags = cursor.Byte(8);
            descriptor.interlaced = (imageFlags & 0x40) != 0;
            descriptor.transparent = transparent;
            transparent = -1;
            cursor.Skip(9);
            descriptor.colours = screen.colours;
            if (!cursor.TakeColourTable(imageFlags, descriptor.colours) || !cursor.Has(1)) {
                return Verdict::Truncated;
            }
            unsigned const codeSize = cursor.Byte();
            cursor.Skip(1);
            std::string_view data;
            if (!cursor.TakeSubBlocks(data)) {
                return Verdict::Truncated;
            }
            FirstImage* const reader = image ? nullptr : first;
            if (reader != nullptr) {
                reader->Begin(screen, descriptor);
            }
            std::uint64_t const pixels =
                static_cast<std::uint64_t>(descriptor.width) * descriptor.height;
            switch (table.Read(data, codeSize, pixels, reader)) {
            case GifLzw::Outcome::Whole:
                break;
            case GifLzw::Outcome::Truncated:
                return Verdict::Truncated;
            case GifLzw::Outcome::Damaged:
                return Verdict::Damaged;
            }
            image = true;
        } else {
            return Verdict::Damaged;
        }
    }
    return Verdict::Truncated; // no trailer: the file was cut short
}

} // namespace slidevane
