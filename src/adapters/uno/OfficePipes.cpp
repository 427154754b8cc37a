#include "OfficePipes.h"

#include "UnoValues.h"

#include <cerrno>
#include <cstring>
#include <rtl/digest.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace slidevane {

namespace {

// Where the office's runtime puts a pipe, and how it names it for this user.
std::string Prefix() {
    std::string const folder = access("/tmp", W_OK) == 0 ? "/tmp" : "/var/tmp";
    return folder + "/OSL_PIPE_" + std::to_string(getuid()) + "_";
}

// -1: nothing is there or it cannot be tried; 0: refused (a stale file); 1: accepted.
int Connect(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int const probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        return -1;
    }
    int result = 1;
    if (connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        result = errno == ECONNREFUSED ? 0 : -1;
    }
    close(probe);
    return result;
}

} // namespace

std::string OfficePipes::Named(const std::string& pipeName) {
    return Prefix() + pipeName;
}

std::string OfficePipes::OfProfile(const std::string& profileUrl) {
    // The hexadecimal digits (without leading zeros) of the MD5 of the URL in UTF-16.
    OUString const url = uno::ToUno(profileUrl);
    sal_uInt8 digest[RTL_DIGEST_LENGTH_MD5];
    rtl_digest_MD5(url.getStr(), static_cast<sal_uInt32>(url.getLength()) * 2, digest,
                   sizeof digest);
    std::ostringstream name;
    name << Prefix() << "SingleOfficeIPC_" << std::hex;
    for (sal_uInt8 const byte : digest) {
        name << static_cast<unsigned>(byte);
    }
    return name.str();
}

bool OfficePipes::Listening(const std::string& path) {
    return Connect(path) == 1;
}

void OfficePipes::RemoveIfStale(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) && Connect(path) == 0) {
        unlink(path.c_str());
    }
}

} // namespace slidevane
