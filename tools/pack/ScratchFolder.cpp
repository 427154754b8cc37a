#include "ScratchFolder.h"

#include <cstdlib>

namespace slidevane {

namespace fs = std::filesystem;

namespace {

constexpr const char* Prefix = "slidevane3-pack-";

fs::path Parent() {
    char const* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

} // namespace

ScratchFolder::ScratchFolder() : folder_(Parent(), Prefix) {}

std::vector<fs::path> ScratchFolder::RemoveAbandoned() {
    return ClaimedFolder::RemoveAbandoned(Parent(), Prefix);
}

} // namespace slidevane
