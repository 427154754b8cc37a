#include "picture/GifDecoder.h"

#include <algorithm>
#include <array>

namespace slidevane {

namespace {

constexpr std::uint32_t Black = 0xff000000u;
constexpr unsigned NotSpelt = ~0u;

std::uint32_t Colour(std::string_view table, unsigned index) {
    if (index >= table.size() / 3) {
        return Black;
    }
    auto component = [&](unsigned offset) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(table[3 * index + offset]));
    };
    return Black | component(0) << 16 | component(1) << 8 | component(2);
}

class Canvas : public GifStructure::FirstImage {
public:
    Canvas(int clipWidth, int clipHeight)
        : clipWidth_(static_cast<unsigned>(std::max(clipWidth, 0))),
          clipHeight_(static_cast<unsigned>(std::max(clipHeight, 0))) {}

    void Begin(const GifStructure::Screen& screen, const GifStructure::Image& image) override {
        picture_.width = static_cast<int>(std::min(screen.width, clipWidth_));
        picture_.height = static_cast<int>(std::min(screen.height, clipHeight_));
        picture_.transparent = image.transparent >= 0;
        for (unsigned index = 0; index < palette_.size(); ++index) {
            palette_[index] = Colour(image.colours, index);
        }
        std::uint32_t background = Colour(screen.colours, screen.background);
        if (picture_.transparent) {
            palette_[static_cast<std::size_t>(image.transparent)] = 0;
            background = 0;
        }
        picture_.pixels.assign(static_cast<std::size_t>(picture_.width) *
                                   static_cast<std::size_t>(picture_.height),
                               background);

        auto const width = static_cast<unsigned>(picture_.width);
        auto const height = static_cast<unsigned>(picture_.height);
        left_ = image.left;
        top_ = image.top;
        imageWidth_ = image.width;
        visibleColumns_ = left_ < width ? std::min(image.width, width - left_) : 0;
        visibleRows_ = top_ < height ? std::min(image.height, height - top_) : 0;
        interlaced_ = image.interlaced;
        // Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th
        // from 2, every 2nd from 1.
        pass2_ = (image.height + 7) / 8;
        pass3_ = pass2_ + (image.height + 3) / 8;
        pass4_ = pass3_ + (image.height + 1) / 4;
    }

    void Take(const GifLzw& table, unsigned code, std::uint64_t at, unsigned length) override {
        if (visibleColumns_ == 0 || visibleRows_ == 0) {
            return;
        }
        std::uint64_t row = at / imageWidth_;
        std::uint64_t column = at % imageWidth_;
        if (!interlaced_ && row >= visibleRows_) {
            return; // every later code lands further down still
        }
        std::uint64_t const end = at + length;
        unsigned spelt = NotSpelt;
        for (std::uint64_t position = at; position < end; ++row, column = 0) {
            std::uint64_t const rowStart = row * imageWidth_;
            std::uint64_t const rowEnd = std::min(end, rowStart + imageWidth_);
            unsigned const imageRow =
                interlaced_ ? StreamRowToImageRow(row) : static_cast<unsigned>(row);
            if (column < visibleColumns_ && imageRow < visibleRows_) {
                std::uint64_t const visibleEnd = std::min(rowEnd, rowStart + visibleColumns_);
                auto const offset = static_cast<unsigned>(position - at);
                if (spelt == NotSpelt) {
                    // From here to the end of the string at once: later rows of it are later.
                    table.Spell(code, offset, length, letters_.data());
                    spelt = offset;
                }
                std::uint32_t* out = picture_.pixels.data() +
                                     static_cast<std::size_t>(top_ + imageRow) *
                                         static_cast<std::size_t>(picture_.width) +
                                     left_ + column;
                std::uint8_t const* in = letters_.data() + (offset - spelt);
                for (std::uint64_t count = visibleEnd - position; count > 0; --count) {
                    *out++ = palette_[*in++];
                }
            } else if (!interlaced_ && imageRow >= visibleRows_) {
                return;
            }
            position = rowEnd;
        }
    }

    GifPicture Finish() { return std::move(picture_); }

private:
    unsigned StreamRowToImageRow(std::uint64_t row) const {
        auto const r = static_cast<unsigned>(row);
        if (r < pass2_) {
            return 8 * r;
        }
        if (r < pass3_) {
            return 4 + 8 * (r - pass2_);
        }
        if (r < pass4_) {
            return 2 + 4 * (r - pass3_);
        }
        return 1 + 2 * (r - pass4_);
    }

    unsigned clipWidth_;
    unsigned clipHeight_;
    GifPicture picture_;
    std::array<std::uint32_t, 256> palette_{};
    std::array<std::uint8_t, GifLzw::MaxCodes> letters_{};
    unsigned left_ = 0;
    unsigned top_ = 0;
    unsigned imageWidth_ = 1;
    unsigned visibleColumns_ = 0;
    unsigned visibleRows_ = 0;
    bool interlaced_ = false;
    unsigned pass2_ = 0;
    unsigned pass3_ = 0;
    unsigned pass4_ = 0;
};

} // namespace

GifDecoder::Result GifDecoder::Decode(std::string_view bytes, int clipWidth, int clipHeight) {
    Canvas canvas(clipWidth, clipHeight);
    GifStructure::Verdict const verdict =
        GifStructure::Check(bytes, GifStructure::MaxSide, &canvas);
    if (verdict != GifStructure::Verdict::Whole) {
        return {verdict, {}};
    }
    return {verdict, canvas.Finish()};
}

} // namespace slidevane
