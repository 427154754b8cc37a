#include "ScratchFolder.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace slidevane {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    char const* tmp = std::getenv("TMPDIR");
    std::string pattern =
        (fs::path(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") / "slidevane3-pack-XXXXXX")
            .string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(),
                                "cannot make a temporary folder in " +
                                    fs::path(pattern).parent_path().string());
    }
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

} // namespace slidevane
