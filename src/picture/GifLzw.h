#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The LZW code stream of one GIF image: reads its codes from the image's data sub-blocks, keeps
// the string table they build, and says whether the stream is whole (every pixel of the image
// is there and no code is one an encoder could not have written).
//
// Walking the codes costs a constant per code, however long the strings they stand for, and the
// table is fixed-size: a small file that decodes to millions of pixels costs what the file costs
// until someone asks for the pixels. A sink is told where each code's string lands in the image
// and spells out only the part it needs.
//
// Owns: the string table, the bit reader and the rules of the code stream. It does not know rows,
// columns or colours (GifDecoder) nor the blocks around the data (GifStructure).
namespace slidevane {

class GifLzw {
public:
    static constexpr unsigned MaxCodes = 4096; // codes are at most 12 bits wide
    static constexpr unsigned MinCodeSize = 2; // what the stream starts with, less one bit
    static constexpr unsigned MaxCodeSize = 8; // pixels are at most 8 bits deep

    enum class Outcome {
        Whole,     // every pixel of the image was decoded
        Truncated, // the codes ended (end code or end of data) before every pixel was there
        Damaged    // a code size or a code that no encoder writes
    };

    // Told about each code's string in stream order, pixels [at, at + length) of the image, the
    // last one cut to the image's pixel count.
    class Sink {
    public:
        virtual void Take(const GifLzw& table, unsigned code, std::uint64_t at,
                          unsigned length) = 0;

    protected:
        ~Sink() = default;
    };

    // Reads the codes of `data`, an image's data sub-blocks up to and including their zero-length
    // terminator (the caller has checked that the blocks are all there), until `pixels` pixels
    // are decoded. Codes after the last pixel are not read: the image is complete without them.
    Outcome Read(std::string_view data, unsigned minimumCodeSize, std::uint64_t pixels, Sink* sink);

    // Pixels [from, to) of the string of `code`, written to out[0, to - from). Costs the length
    // of the string less `from`: strings are spelt from their end.
    void Spell(unsigned code, unsigned from, unsigned to, std::uint8_t* out) const;

private:
    void Reset(unsigned clear);

    std::array<std::uint16_t, MaxCodes> prefix_{};
    std::array<std::uint16_t, MaxCodes> length_{};
    std::array<std::uint8_t, MaxCodes> first_{};
    std::array<std::uint8_t, MaxCodes> last_{};
};

} // namespace slidevane
