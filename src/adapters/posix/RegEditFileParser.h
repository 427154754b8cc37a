#pragma once

#include "adapters/posix/RegistryTree.h"

#include <string>
#include <string_view>

namespace slidevane {

// Reads the registry editor's import format: "Windows Registry Editor Version 5.00" and
// "REGEDIT4" files, as UTF-16LE (with its BOM) or 8-bit text (UTF-8 when the bytes are valid
// UTF-8, Windows-1252 otherwise). 8-bit files are parsed as they lie, decoding only the names and
// texts they hold, so parsing costs no copy of the file. A malformed line is skipped the way the
// registry editor skips it; only a missing header rejects the whole file.
//
// Owns: the grammar of the format (key and deletion lines, value lines, escapes, hex lists with
// continuation lines). Does not own: the tree it fills or where the file came from.
class RegEditFileParser {
public:
    // Fills tree; returns false with a reason when the file has no valid header. Takes the
    // bytes so that a UTF-16 file can let them go once they are decoded.
    static bool parse(std::string bytes, RegistryTree& tree, std::string& error);
};

} // namespace slidevane
