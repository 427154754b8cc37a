#include "adapters/posix/DataHome.h"

#include "adapters/posix/NativePath.h"

#include <cstdlib>

namespace slidevane {

std::filesystem::path DataHome::Folder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        return data;
    }
    return std::filesystem::path(NativePath::homeFolder()) / ".local" / "share";
}

std::filesystem::path DataHome::RegistryFolder() {
    return Folder() / "slidevane3" / "registry.d";
}

} // namespace slidevane
