#pragma once

#include "adapters/posix/ByteSource.h"
#include "adapters/posix/RegistryTree.h"

#include <string>
#include <string_view>

namespace slidevane {

// Reads the registry editor's import format: "Windows Registry Editor Version 5.00" and
// "REGEDIT4" files, as UTF-16LE (with its BOM) or 8-bit text (UTF-8 when the bytes are valid
// UTF-8, Windows-1252 otherwise). The file is read a line at a time and 8-bit text is parsed as it
// lies, decoding only the names and texts it holds, so parsing costs no copy of the file. A
// malformed line is skipped the way the registry editor skips it; only a missing header rejects
// the whole file.
//
// Owns: the grammar of the format (key and deletion lines, value lines, escapes, hex lists with
// continuation lines). Does not own: the tree it fills or where the file came from.
class RegEditFileParser {
public:
    // Fills tree; returns false with a reason when the file has no valid header. An error of the
    // source ends the text early and is the caller's to tell. An 8-bit file that proves not to
    // be UTF-8 is read a second time, from the start.
    static bool parse(ByteSource& source, RegistryTree& tree, std::string& error);
    static bool parse(std::string_view bytes, RegistryTree& tree, std::string& error);
};

} // namespace slidevane
