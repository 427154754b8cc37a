#pragma once

#include "adapters/posix/ByteSource.h"
#include "adapters/posix/RegistryTree.h"

#include <memory>
#include <string>
#include <string_view>

namespace slidevane {

// Turns the bytes of one registry file into a tree, whichever of the two formats it is in: a
// Wine hive is told by its first line, anything else must be a registry editor file.
//
// Owns: the choice of format. Does not own: reading files (the caller hands over a source) or
// the formats themselves (RegEditFileParser, WineHiveParser).
class RegistryFileParser {
public:
    // Returns nullptr and a reason when the file is in neither format, when the source fails
    // (its error is the reason), when the file holds more keys and values than can be
    // indexed, or when loading it would take more memory than its LoadBudget allows. fileName only
    // picks the root of a hive that does not name its own. The file is read as it is parsed, a line
    // at a time, so that it costs its tree and not its text.
    static std::shared_ptr<RegistryTree> parse(ByteSource& source, std::string_view fileName,
                                               std::string& error);
    static std::shared_ptr<RegistryTree> parse(std::string_view bytes, std::string_view fileName,
                                               std::string& error);
};

} // namespace slidevane
