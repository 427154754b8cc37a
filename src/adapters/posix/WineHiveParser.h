#pragma once

#include "adapters/posix/ByteSource.h"
#include "adapters/posix/RegistryTree.h"

#include <string>
#include <string_view>

namespace slidevane {

// Reads the hive files a Wine prefix keeps (system.reg, user.reg, userdef.reg: "WINE REGISTRY
// Version 2"). The hive says which part of the registry it holds in its second line; when that
// line is missing the file name decides (system.reg is HKEY_LOCAL_MACHINE, user.reg
// HKEY_CURRENT_USER). "#arch=win64" marks the tree so that reads go through the 32-bit view.
//
// Owns: the hive grammar and its string escapes. Does not own: the tree it fills, the meaning of
// "#link" keys (it marks them; the tree reads their targets and follows them), or writing hives.
class WineHiveParser {
public:
    static constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

    // Reads the hive a line at a time, holding no more of it than the line being read (and a
    // value's continuation lines); an error of the source ends the text early and is the
    // caller's to tell.
    static bool parse(ByteSource& source, std::string_view fileName, RegistryTree& tree,
                      std::string& error);
    static bool parse(std::string_view bytes, std::string_view fileName, RegistryTree& tree,
                      std::string& error);
};

} // namespace slidevane
