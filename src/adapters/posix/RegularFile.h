#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// A file opened for reading the way every picture and template file is opened: without
// blocking, so that a FIFO or a device is never waited on, and kept only when the open
// descriptor is a regular file, so that what was checked is what is read (no window between a
// stat and the open). Reads stop at a cap whatever size stat reports: a device reports 0, and a
// file may grow while it is read.
//
// Owns: the descriptor and these rules. It does not decide what the bytes must be (GifStructure,
// the pack checker) nor which run-time error a failure is (its caller).
namespace slidevane {

class RegularFile {
public:
    enum class Status {
        Open,       // a regular file, open for reading
        Missing,    // nothing by that name, or a component of it is no folder
        NotRegular, // a folder, FIFO, socket or device
        Unreadable, // opening or reading failed: error() holds the reason
        TooLarge    // readAll found more than its cap
    };

    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    Status status() const { return status_; }
    int error() const { return error_; }
    // What stat reported at the open.
    std::uint64_t size() const { return size_; }

    // The whole file into `bytes`, at most maxBytes of it. False, with the status TooLarge or
    // Unreadable, when there is more or a read fails.
    bool readAll(std::size_t maxBytes, std::string& bytes);
    // Up to `count` bytes from `offset`, fewer where the file ends. False when a read fails.
    bool readAt(std::uint64_t offset, std::size_t count, std::string& bytes);

    // Why the file cannot be used, for a report: "not found", "not a regular file (a FIFO)",
    // "cannot be read: Permission denied", "too large". Empty while it is Open.
    std::string problem() const;

private:
    int fd_ = -1;
    Status status_ = Status::Unreadable;
    int error_ = 0;
    mode_t type_ = 0;
    std::uint64_t size_ = 0;
};

} // namespace slidevane
