#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace slidevane {

// Conversions between the encodings that registry files and the ANSI registry API use: UTF-8,
// Windows-1252 and UTF-16 (stored little-endian as raw value bytes).
//
// Owns: the Windows-1252 tables and the per-unit rules of the narrow conversion (a unit with no
// narrow form becomes '?'). Does not own: deciding which encoding a file uses; the parsers do.
class TextCodec {
public:
    // The narrow ("ANSI") encoding of the API's texts. UTF-8 on Linux; Windows-1252 is what a
    // Western Windows uses and is kept for comparison with exported data.
    enum class Narrow { Utf8, Windows1252 };

    static bool isValidUtf8(std::string_view bytes);
    // Decodes one UTF-8 sequence at pos and advances pos; a malformed sequence yields U+FFFD
    // and consumes one byte.
    static char32_t decodeUtf8(std::string_view bytes, std::size_t& pos);
    static void appendUtf16(std::u16string& out, char32_t codePoint);

    static std::u16string fromUtf8(std::string_view bytes);
    static std::u16string fromWindows1252(std::string_view bytes);
    // Little-endian bytes to units; an odd last byte is dropped.
    static std::u16string fromUtf16le(std::string_view bytes);
    static std::u16string fromNarrow(std::string_view text, Narrow narrow);

    static char16_t fromWindows1252(unsigned char byte);

    static std::string toUtf16le(std::u16string_view units);
    // Unit by unit, as the A functions convert: a surrogate pair becomes one UTF-8 sequence, a
    // lone surrogate or a unit Windows-1252 lacks becomes '?'.
    static std::string toNarrow(std::u16string_view units, Narrow narrow);
    static std::string narrowFromUtf16le(std::string_view bytes, Narrow narrow);
    // The same for units stored as UTF-16LE bytes or, when compact, one byte per unit (every
    // unit below 0x100); the length comes first, so a caller can check its buffer before
    // anything is written, and nothing is allocated.
    static std::size_t narrowLength(std::string_view stored, bool compact, Narrow narrow);
    static void narrowInto(std::string_view stored, bool compact, Narrow narrow, char* out);
};

} // namespace slidevane
