#include "OfficeStartLock.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace slidevane {

std::unique_ptr<OfficeStartLock> OfficeStartLock::TryTake(const std::string& pipeName) {
    // The abstract namespace belongs to the network namespace, not to the user: the user's id
    // is part of the name, as it is of the office's own pipes.
    std::string const name = "slidevane3-office-start-" + std::to_string(getuid()) + "-" + pipeName;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::size_t const length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length); // sun_path[0] == 0: abstract
    int const holder = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (holder < 0) {
        return nullptr;
    }
    if (bind(holder, reinterpret_cast<const sockaddr*>(&address),
             static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length)) != 0) {
        close(holder);
        return nullptr;
    }
    return std::unique_ptr<OfficeStartLock>(new OfficeStartLock(holder));
}

OfficeStartLock::~OfficeStartLock() {
    close(socket_);
}

} // namespace slidevane
