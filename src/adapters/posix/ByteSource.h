#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace slidevane {

// The bytes of one registry file, handed out in pieces as a parser asks for them, so that no
// copy of the whole file is ever held: from an open descriptor, never past a hard cap whatever
// the file's size says, or from bytes already in memory. The first few bytes can be looked at
// before they are read, and the whole can be read again from the start.
//
// Owns: the read position, the cap and the first read error. Does not own: the descriptor (the
// caller opens and closes it) or the bytes in memory.
class ByteSource {
public:
    // claimedSize is what fstat says; reading stops with an error past maxBytes.
    ByteSource(int fd, std::uint64_t claimedSize, std::uint64_t maxBytes);
    explicit ByteSource(std::string_view bytes);
    // Bytes in memory handed out at most `piece` at a time and never in place, as from a
    // descriptor that says it holds claimedSize bytes: a parser reading them so must see what
    // it sees reading them whole.
    ByteSource(std::string_view bytes, std::size_t piece, std::uint64_t claimedSize);
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    // Up to n bytes into out; 0 at the end or after an error.
    std::size_t read(char* out, std::size_t n);
    // The next n bytes (fewer at the end) without consuming them.
    std::string_view peek(std::size_t n);
    void skip(std::size_t n);
    // Back to the first byte; false (with an error) when the descriptor cannot seek.
    bool rewind();

    // The file's size as far as it is known: what it said it holds, or what has been read of it
    // when that is more.
    std::uint64_t sizeKnown() const { return consumed_ > claimedSize_ ? consumed_ : claimedSize_; }
    // What the file said it still holds: a hint for sizing buffers, 0 once it has been read past.
    std::uint64_t claimedRemaining() const {
        return consumed_ < claimedSize_ ? claimedSize_ - consumed_ : 0;
    }
    // Bytes in memory, not yet consumed; empty for a descriptor.
    std::string_view inMemory() const {
        return fd_ < 0 && piece_ == 0 ? memory_.substr(memoryPos_) : "";
    }
    // Marks the bytes in memory as consumed by a caller that reads them in place.
    void consumeInMemory() {
        consumed_ += memory_.size() - memoryPos_;
        memoryPos_ = memory_.size();
    }

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

private:
    std::size_t readRaw(char* out, std::size_t n);

    int fd_ = -1;
    std::string_view memory_;
    std::size_t memoryPos_ = 0;
    std::size_t piece_ = 0; // 0: the bytes are read in place
    std::uint64_t claimedSize_ = 0;
    std::uint64_t maxBytes_ = UINT64_MAX;
    std::uint64_t consumed_ = 0; // handed out, peeked bytes excluded
    std::uint64_t fetched_ = 0;  // taken from the descriptor
    std::string peeked_;
    std::string error_;
};

} // namespace slidevane
