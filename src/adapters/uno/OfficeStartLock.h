#pragma once

#include <memory>
#include <string>

// The right to start an office on one pipe, held by at most one process of the machine's user
// at a time: two runs of the program that both find no office must not both start one. It is
// a name in the kernel's abstract socket namespace, so taking it writes nothing anywhere, and
// it is given back when its holder ends however it ends.
//
// Owns: the socket that holds the name, until the object ends.
namespace slidevane {

class OfficeStartLock {
public:
    // The lock for `pipeName`, or nullptr while another process holds it.
    static std::unique_ptr<OfficeStartLock> TryTake(const std::string& pipeName);
    ~OfficeStartLock();
    OfficeStartLock(const OfficeStartLock&) = delete;
    OfficeStartLock& operator=(const OfficeStartLock&) = delete;

private:
    explicit OfficeStartLock(int socket) : socket_(socket) {}

    int socket_;
};

} // namespace slidevane
