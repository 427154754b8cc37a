#include "adapters/posix/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace slidevane {

ByteSource::ByteSource(int fd, std::uint64_t claimedSize, std::uint64_t maxBytes)
    : fd_(fd), claimedSize_(claimedSize), maxBytes_(maxBytes) {}

ByteSource::ByteSource(std::string_view bytes) : memory_(bytes), claimedSize_(bytes.size()) {}

ByteSource::ByteSource(std::string_view bytes, std::size_t piece, std::uint64_t claimedSize)
    : memory_(bytes), piece_(piece == 0 ? 1 : piece), claimedSize_(claimedSize) {}

std::size_t ByteSource::readRaw(char* out, std::size_t n) {
    if (fd_ < 0) {
        const std::size_t count =
            std::min({n, piece_ == 0 ? n : piece_, memory_.size() - memoryPos_});
        std::memcpy(out, memory_.data() + memoryPos_, count);
        memoryPos_ += count;
        return count;
    }
    if (!error_.empty()) {
        return 0;
    }
    // One byte past the cap is asked for, so that a file just over it is told from one at it.
    const std::uint64_t allowed = maxBytes_ - std::min(fetched_, maxBytes_) + 1;
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, allowed));
    for (;;) {
        const ssize_t got = ::read(fd_, out, n);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error_ = std::strerror(errno);
            return 0;
        }
        fetched_ += static_cast<std::uint64_t>(got);
        if (fetched_ > maxBytes_) {
            error_ = "larger than " + std::to_string(maxBytes_ >> 20) + " MiB";
            return 0;
        }
        return static_cast<std::size_t>(got);
    }
}

std::size_t ByteSource::read(char* out, std::size_t n) {
    std::size_t done = std::min(n, peeked_.size());
    std::memcpy(out, peeked_.data(), done);
    peeked_.erase(0, done);
    if (done < n) {
        done += readRaw(out + done, n - done);
    }
    consumed_ += done;
    return done;
}

std::string_view ByteSource::peek(std::size_t n) {
    if (fd_ < 0) {
        return memory_.substr(memoryPos_, n);
    }
    while (peeked_.size() < n) {
        char chunk[64];
        const std::size_t got = readRaw(chunk, std::min(sizeof chunk, n - peeked_.size()));
        if (got == 0) {
            break;
        }
        peeked_.append(chunk, got);
    }
    return std::string_view(peeked_).substr(0, n);
}

void ByteSource::skip(std::size_t n) {
    char chunk[64];
    while (n > 0) {
        const std::size_t got = read(chunk, std::min(sizeof chunk, n));
        if (got == 0) {
            return;
        }
        n -= got;
    }
}

bool ByteSource::rewind() {
    peeked_.clear();
    consumed_ = 0;
    if (fd_ < 0) {
        memoryPos_ = 0;
        return true;
    }
    if (!error_.empty()) {
        return false;
    }
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
        error_ = std::strerror(errno);
        return false;
    }
    fetched_ = 0;
    return true;
}

} // namespace slidevane
