#include "adapters/posix/TextCodec.h"

#include <array>

namespace slidevane {

namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones map to the C1 controls, as
// MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t cp1252ToUnit(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kCp1252High[byte - 0x80];
    }
    return byte;
}

int unitToCp1252(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return unit;
    }
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == unit) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

bool isHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

template <class Emit> void emitUtf8(char32_t cp, Emit& emit) {
    if (cp < 0x80) {
        emit(static_cast<char>(cp));
    } else if (cp < 0x800) {
        emit(static_cast<char>(0xC0 | (cp >> 6)));
        emit(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        emit(static_cast<char>(0xE0 | (cp >> 12)));
        emit(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        emit(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        emit(static_cast<char>(0xF0 | (cp >> 18)));
        emit(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        emit(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        emit(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The A functions' conversion, unit by unit: unitAt(i) gives unit i of count.
template <class UnitAt, class Emit>
void emitNarrow(std::size_t count, UnitAt unitAt, TextCodec::Narrow narrow, Emit& emit) {
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t u = unitAt(i);
        if (narrow == TextCodec::Narrow::Windows1252) {
            const int b = unitToCp1252(u);
            emit(b < 0 ? '?' : static_cast<char>(b));
        } else if (isHighSurrogate(u) && i + 1 < count && isLowSurrogate(unitAt(i + 1))) {
            emitUtf8(0x10000 + ((char32_t(u) - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00), emit);
            ++i;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            emit('?');
        } else {
            emitUtf8(u, emit);
        }
    }
}

template <class Emit>
void emitStored(std::string_view stored, bool compact, TextCodec::Narrow narrow, Emit& emit) {
    if (compact) {
        emitNarrow(
            stored.size(),
            [stored](std::size_t i) {
                return static_cast<char16_t>(static_cast<unsigned char>(stored[i]));
            },
            narrow, emit);
    } else {
        emitNarrow(
            stored.size() / 2,
            [stored](std::size_t i) {
                return static_cast<char16_t>(static_cast<unsigned char>(stored[2 * i]) |
                                             (static_cast<unsigned char>(stored[2 * i + 1]) << 8));
            },
            narrow, emit);
    }
}

} // namespace

char32_t TextCodec::decodeUtf8(std::string_view bytes, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(bytes[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
        minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
        minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (bytes.size() - pos < static_cast<std::size_t>(length)) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += length;
    return cp;
}

bool TextCodec::isValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t start = pos;
        if (decodeUtf8(bytes, pos) == 0xFFFD && pos == start + 1 &&
            static_cast<unsigned char>(bytes[start]) >= 0x80) {
            return false;
        }
    }
    return true;
}

void TextCodec::appendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

std::u16string TextCodec::fromUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        appendUtf16(out, decodeUtf8(bytes, pos));
    }
    return out;
}

std::u16string TextCodec::fromWindows1252(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[i] = cp1252ToUnit(static_cast<unsigned char>(bytes[i]));
    }
    return out;
}

char16_t TextCodec::fromWindows1252(unsigned char byte) {
    return cp1252ToUnit(byte);
}

std::u16string TextCodec::fromUtf16le(std::string_view bytes) {
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return out;
}

std::u16string TextCodec::fromNarrow(std::string_view text, Narrow narrow) {
    return narrow == Narrow::Utf8 ? fromUtf8(text) : fromWindows1252(text);
}

std::string TextCodec::toUtf16le(std::u16string_view units) {
    std::string out(units.size() * 2, '\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        out[2 * i] = static_cast<char>(units[i] & 0xFF);
        out[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return out;
}

std::string TextCodec::toNarrow(std::u16string_view units, Narrow narrow) {
    std::string out;
    out.reserve(units.size());
    auto append = [&out](char c) { out += c; };
    emitNarrow(
        units.size(), [units](std::size_t i) { return units[i]; }, narrow, append);
    return out;
}

std::string TextCodec::narrowFromUtf16le(std::string_view bytes, Narrow narrow) {
    std::string out(narrowLength(bytes, false, narrow), '\0');
    narrowInto(bytes, false, narrow, out.data());
    return out;
}

std::size_t TextCodec::narrowLength(std::string_view stored, bool compact, Narrow narrow) {
    std::size_t length = 0;
    auto count = [&length](char) { ++length; };
    emitStored(stored, compact, narrow, count);
    return length;
}

void TextCodec::narrowInto(std::string_view stored, bool compact, Narrow narrow, char* out) {
    auto write = [&out](char c) { *out++ = c; };
    emitStored(stored, compact, narrow, write);
}

} // namespace slidevane
