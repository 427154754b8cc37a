#pragma once

#include "picture/GifLzw.h"

#include <cstddef>
#include <string_view>

// Walks a GIF file's blocks and every image's code stream, to refuse what is not one whole GIF
// picture: another format under a .gif name, a file cut short (no trailer, or an image whose
// codes end before its last pixel), codes no encoder writes, or a screen or image larger than
// any picture of the layout could be. The walk costs what the file costs, not what its pixels
// would: codes are followed without being spelt out unless the first image's reader asks.
//
// Owns: the block structure and what makes a file whole. It does not build pixels (GifDecoder)
// and does not read files; each platform's loader hands it the bytes before anything is decoded.
namespace slidevane {

class GifStructure {
public:
    // Far beyond any picture of the layout (the largest is 419 x 290), and what the decoder's
    // bounds are built for.
    static constexpr int MaxSide = 4096;
    // The largest GIF of at most MaxSide x MaxSide pixels that any encoder writes is one 12-bit
    // code per pixel: 4096 x 4096 x 1.5 bytes = 24 MiB, plus a length byte per 255 bytes of
    // data. A reader reads no more than this (room for extensions and further frames): a file
    // that is larger, or grows while it is read, is no picture of the layout.
    static constexpr std::size_t MaxFileBytes = 32 * 1024 * 1024;

    enum class Verdict {
        Whole,
        NotGif,    // no GIF signature (an empty file among others)
        Truncated, // ends before the trailer, or an image's codes end before its last pixel
        Damaged,   // a block, a size of zero or a code that no encoder writes
        TooLarge,  // a screen or image side beyond maxSide
        NoImage    // a whole file that holds no picture
    };

    struct Screen {
        unsigned width = 0;
        unsigned height = 0;
        std::string_view colours; // three bytes a colour; empty when there is no global table
        unsigned background = 0;
    };

    struct Image {
        unsigned left = 0;
        unsigned top = 0;
        unsigned width = 0;
        unsigned height = 0;
        bool interlaced = false;
        std::string_view colours; // the image's own table, else the screen's
        int transparent = -1;     // the colour index that shows what lies beneath, or -1
    };

    // Told about the first image as the walk reaches it, so that its pixels are built in the
    // same pass that checks the file. Nothing it was told counts unless the verdict is Whole.
    class FirstImage : public GifLzw::Sink {
    public:
        virtual void Begin(const Screen& screen, const Image& image) = 0;

    protected:
        ~FirstImage() = default;
    };

    static Verdict Check(std::string_view bytes, int maxSide, FirstImage* first = nullptr);

    static bool IsWholeGif(std::string_view bytes, int maxSide) {
        return Check(bytes, maxSide) == Verdict::Whole;
    }
};

} // namespace slidevane
