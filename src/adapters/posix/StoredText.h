#pragma once

#include <cstddef>
#include <string>

// Builds the stored bytes of a value in storage of the exact size, so that a value as long as its
// file costs no more than the file while it is read: a source is run twice, first into a Counter
// that measures it, then into a Writer over the storage that allocate(bytes, compact) gives for
// that size (the tree's own, so nothing is copied). Text is kept one byte per UTF-16 unit when
// every unit fits in one (compact), else as UTF-16LE.
namespace slidevane::StoredText {

struct Counter {
    std::size_t count = 0;
    char16_t all = 0; // every unit ORed together: below 0x100 means compact
    void put(char16_t unit) {
        ++count;
        all = static_cast<char16_t>(all | unit);
    }
};

struct Writer {
    char* out;
    bool compact;
    void put(char16_t unit) {
        *out++ = static_cast<char>(unit & 0xFF);
        if (!compact) {
            *out++ = static_cast<char>(unit >> 8);
        }
    }
};

// A name, kept while it is at most limit units long; a longer one is only measured.
struct Name {
    std::u16string& out;
    std::size_t limit;
    bool tooLong = false;
    void put(char16_t unit) {
        if (out.size() < limit) {
            out += unit;
        } else {
            tooLong = true;
        }
    }
};

template <class Sink> void putCodePoint(Sink& sink, char32_t cp) {
    if (cp < 0x10000) {
        sink.put(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        sink.put(static_cast<char16_t>(0xD800 + (cp >> 10)));
        sink.put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// source(sink) feeds the units to sink and says whether the text was well formed; it is run
// twice and must feed the same units both times. Nothing is allocated for malformed text.
template <class Source, class Allocate> bool text(Source source, Allocate allocate) {
    Counter counter;
    if (!source(counter)) {
        return false;
    }
    const bool compact = counter.all < 0x100;
    Writer writer{allocate(compact ? counter.count : counter.count * 2, compact), compact};
    source(writer);
    return true;
}

// The same for raw bytes (each fed as a unit below 0x100).
template <class Source, class Allocate> bool bytes(Source source, Allocate allocate) {
    Counter counter;
    if (!source(counter)) {
        return false;
    }
    Writer writer{allocate(counter.count), true};
    source(writer);
    return true;
}

} // namespace slidevane::StoredText
