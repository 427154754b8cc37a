#include "adapters/posix/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace slidevane {

namespace {

const char* TypeName(mode_t type) {
    switch (type) {
    case S_IFDIR:
        return "a folder";
    case S_IFIFO:
        return "a FIFO";
    case S_IFSOCK:
        return "a socket";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    default:
        return "not a file";
    }
}

} // namespace

RegularFile::RegularFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer. O_NOCTTY: a
    // terminal opened here must never become the program's controlling terminal.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        error_ = errno;
        status_ = error_ == ENOENT || error_ == ENOTDIR ? Status::Missing : Status::Unreadable;
        // A socket cannot be opened at all (ENXIO): say what it is rather than why the open
        // failed. Nothing is read after this stat, so it can only make the report clearer.
        struct stat st {};
        if (status_ == Status::Unreadable && ::stat(path.c_str(), &st) == 0 &&
            !S_ISREG(st.st_mode)) {
            type_ = st.st_mode & S_IFMT;
            status_ = Status::NotRegular;
        }
        return;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error_ = errno;
        status_ = Status::Unreadable;
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        type_ = st.st_mode & S_IFMT;
        status_ = Status::NotRegular;
        return;
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    status_ = Status::Open;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool RegularFile::readAll(std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    if (status_ != Status::Open) {
        return false;
    }
    // One byte beyond the cap tells a file of exactly the cap from a larger one; the size stat
    // gave is only where to start (a file in /proc reports 0).
    std::size_t const start = size_ < maxBytes ? static_cast<std::size_t>(size_) : maxBytes;
    bytes.resize(start + 1);
    std::size_t done = 0;
    while (true) {
        if (done == bytes.size()) {
            bytes.resize(std::min(std::max<std::size_t>(2 * bytes.size(), 4096), maxBytes + 1));
        }
        ssize_t const n = ::read(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error_ = errno;
            status_ = Status::Unreadable;
            bytes.clear();
            return false;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
        if (done > maxBytes) {
            status_ = Status::TooLarge;
            bytes.clear();
            return false;
        }
    }
    bytes.resize(done);
    return true;
}

bool RegularFile::readAt(std::uint64_t offset, std::size_t count, std::string& bytes) {
    bytes.clear();
    if (status_ != Status::Open) {
        return false;
    }
    bytes.resize(count);
    std::size_t done = 0;
    while (done < count) {
        ssize_t const n =
            ::pread(fd_, bytes.data() + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error_ = errno;
            status_ = Status::Unreadable;
            bytes.clear();
            return false;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return true;
}

std::string RegularFile::problem() const {
    switch (status_) {
    case Status::Open:
        return {};
    case Status::Missing:
        return "not found";
    case Status::NotRegular:
        return std::string("not a regular file (") + TypeName(type_) + ")";
    case Status::Unreadable:
        return std::string("cannot be read: ") + std::strerror(error_);
    case Status::TooLarge:
        return "too large";
    }
    return {};
}

} // namespace slidevane
