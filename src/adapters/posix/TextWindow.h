#pragma once

#include "adapters/posix/ByteSource.h"
#include "adapters/posix/LoadBudget.h"
#include "adapters/posix/TextCodec.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace slidevane {

// The part of a file's text that a parser may still look at: units are read from a ByteSource
// as the parser asks for more, and what lies before the line being read (and before a pinned
// position) is dropped, so a file of many short lines costs a buffer of two pages however large
// it is. A line as long as the file costs the file's size once. Units are bytes, or
// UTF-16 units decoded from little-endian pairs. Bytes already in memory are used in place.
//
// Positions are counted in units from the start of the text and stay valid; views into held()
// do not survive the next call of more().
//
// Its buffer counts against the file's LoadBudget when one is given.
//
// Owns: the buffer and, for 8-bit text, whether every byte so far is valid UTF-8. Does not own:
// the source, the budget or the line rules (each format has its own).
template <class Unit> class TextWindow {
public:
    using View = std::basic_string_view<Unit>;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // checkUtf8: tell whether all the bytes read are valid UTF-8 (8-bit text only).
    explicit TextWindow(ByteSource& source, bool checkUtf8 = false, LoadBudget* budget = nullptr)
        : source_(source), budget_(budget), checking_(checkUtf8), checked_(checkUtf8 ? 0 : npos) {
        if constexpr (sizeof(Unit) == 1) {
            const std::string_view memory = source.inMemory();
            if (!memory.empty()) {
                source.consumeInMemory();
                held_ = memory;
                ended_ = true;
                check();
            }
        }
    }
    ~TextWindow() {
        if (budget_ != nullptr) {
            budget_->hold(LoadBudget::Holder::Window, 0);
        }
    }
    TextWindow(const TextWindow&) = delete;
    TextWindow& operator=(const TextWindow&) = delete;

    View held() const { return held_; }
    std::size_t base() const { return base_; }
    std::size_t end() const { return base_ + held_.size(); }
    View view(std::size_t from, std::size_t to) const {
        return held_.substr(from - base_, to - from);
    }

    // Reads more of the text, dropping what lies before keepFrom (and before the pin). False
    // when nothing more comes: the end of the text, or an error the source tells.
    bool more(std::size_t keepFrom) {
        while (!ended_) {
            compact(std::min({keepFrom, pin_, checked_}));
            if (fill()) {
                return true;
            }
        }
        return false;
    }

    // Keeps everything from `from` on until unpin(), so that lines can be read twice.
    void pin(std::size_t from) { pin_ = from; }
    void unpin() { pin_ = npos; }

    bool validUtf8() const { return valid_; }

private:
    // The window's size between long lines, in units: lines are short. A small file gets an
    // eighth of its size (at least kMinChunk), so that the window adds little to its tree.
    static constexpr std::size_t kChunk = 8 << 10;
    static constexpr std::size_t kMinChunk = 1 << 10;
    static constexpr std::size_t kJump = 1 << 20;

    void compact(std::size_t keepFrom) {
        const std::size_t drop = std::min(keepFrom, end()) - base_;
        if (drop == 0) {
            return;
        }
        Unit* data = buffer_.get();
        std::memmove(data, data + drop, (held_.size() - drop) * sizeof(Unit));
        base_ += drop;
        held_ = View(data, held_.size() - drop);
    }

    // Reads once into the free space, growing the buffer when the text kept fills it. True
    // when units were added.
    bool fill() {
        const std::size_t size = held_.size();
        const std::size_t free = capacity_ - size;
        // What the file says is left, and one unit more to see its end.
        const std::size_t expected =
            static_cast<std::size_t>(source_.claimedRemaining() / sizeof(Unit)) + 1;
        if (free == 0 || (free < capacity_ / 4 && free < expected)) {
            // A line longer than the window: doubling, and once the rest of the file is within
            // reach (or the line is long) the rest of the file as the file tells it, so that a
            // line as long as the file costs the file's size once and leaves no trail of large
            // buffers behind. Doubling all the way when the file said nothing (a file under
            // /proc says 0) or has grown past what it said.
            std::size_t want = std::max(capacity_ * 2, size + 4096);
            if (source_.claimedRemaining() > 0) {
                if (capacity_ == 0) {
                    chunk_ =
                        std::min(expected, std::max(kMinChunk, std::min(kChunk, expected / 8)));
                    want = chunk_;
                } else if (capacity_ >= kJump || size + expected <= 8 * capacity_) {
                    want = size + expected;
                }
            }
            resize(want);
        } else if (capacity_ > 4 * chunk_ && size < chunk_ / 2) {
            // Back to a small window once the long line has been read.
            resize(size + std::min(expected, chunk_));
        }
        // No more at a time than is held already: a large window is filled only as far as the
        // long line needs, and what comes after it soon lets the window shrink again.
        const std::size_t ask = std::min(capacity_ - size, std::max(chunk_, size));
        Unit* data = buffer_.get();
        std::size_t added = 0;
        if constexpr (sizeof(Unit) == 1) {
            added = source_.read(data + size, ask);
            if (added == 0) {
                ended_ = true;
            }
        } else {
            // Bytes land where their units go and are turned into units in place; an odd byte
            // waits for its partner, and one left at the end is dropped.
            auto* bytes = reinterpret_cast<unsigned char*>(data + size);
            std::size_t count = 0;
            if (oddByte_ >= 0) {
                bytes[0] = static_cast<unsigned char>(oddByte_);
                count = 1;
            }
            const std::size_t got =
                source_.read(reinterpret_cast<char*>(bytes) + count, ask * 2 - count);
            if (got == 0) {
                ended_ = true;
            }
            count += got;
            added = count / 2;
            oddByte_ = count % 2 != 0 ? bytes[count - 1] : -1;
            for (std::size_t k = 0; k < added; ++k) {
                const auto unit = static_cast<Unit>(bytes[2 * k] | bytes[2 * k + 1] << 8);
                data[size + k] = unit;
            }
        }
        held_ = View(data, size + added);
        check();
        return added > 0;
    }

    void resize(std::size_t capacity) {
        const std::size_t size = held_.size();
        if (budget_ != nullptr) {
            // Both buffers are held while the text moves across.
            budget_->hold(LoadBudget::Holder::Window, (capacity_ + capacity) * sizeof(Unit));
        }
        auto grown = std::make_unique_for_overwrite<Unit[]>(capacity);
        if (size != 0) {
            std::memcpy(grown.get(), held_.data(), size * sizeof(Unit));
        }
        buffer_ = std::move(grown);
        capacity_ = capacity;
        held_ = View(buffer_.get(), size);
        if (budget_ != nullptr) {
            budget_->hold(LoadBudget::Holder::Window, capacity_ * sizeof(Unit));
        }
    }

    // Checks the units just added, holding back a sequence the next read may complete.
    void check() {
        if constexpr (sizeof(Unit) == 1) {
            if (!checking_ || !valid_) {
                return;
            }
            std::size_t stop = end();
            if (!ended_) {
                for (std::size_t k = 1; k <= 3 && k <= stop - checked_; ++k) {
                    const auto b = static_cast<unsigned char>(held_[stop - k - base_]);
                    if ((b & 0xC0) == 0xC0) {
                        const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
                        if (length > k) {
                            stop -= k;
                        }
                        break;
                    }
                    if ((b & 0xC0) != 0x80) {
                        break;
                    }
                }
            }
            valid_ = TextCodec::isValidUtf8(view(checked_, stop));
            checked_ = valid_ ? stop : npos;
        }
    }

    ByteSource& source_;
    LoadBudget* budget_;
    std::unique_ptr<Unit[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t chunk_ = kChunk; // the window's size between long lines
    View held_;
    std::size_t base_ = 0;
    std::size_t pin_ = npos;
    bool ended_ = false;
    int oddByte_ = -1;
    bool checking_;
    bool valid_ = true;
    std::size_t checked_; // UTF-8 checked up to here; npos when not (or no longer) checked
};

} // namespace slidevane
