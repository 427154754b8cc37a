#pragma once

#include "adapters/posix/RegistryTree.h"

#include <memory>
#include <string>
#include <string_view>

namespace slidevane {

// Turns the bytes of one registry file into a tree, whichever of the two formats it is in: a
// Wine hive is told by its first line, anything else must be a registry editor file.
//
// Owns: the choice of format. Does not own: reading files (the caller hands over bytes) or the
// formats themselves (RegEditFileParser, WineHiveParser).
class RegistryFileParser {
public:
    // Returns nullptr and a reason when the file is in neither format. fileName only picks the
    // root of a hive that does not name its own. The bytes are taken, and let go as soon as the
    // format allows, so that a file costs at most about twice its size while it is read.
    static std::shared_ptr<RegistryTree> parse(std::string bytes, std::string_view fileName,
                                               std::string& error);
};

} // namespace slidevane
