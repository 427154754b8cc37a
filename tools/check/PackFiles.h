#pragma once

#include "adapters/posix/NativePath.h"

#include <string>

// Looks at each file of a pack as the program will use it. A picture passes the program's own
// checks, the very code its window loads pictures with: the path resolved by the same rules, a
// regular file read without blocking and up to the same cap, a whole GIF by the same rules. A
// template must be a regular, readable file in a format the office opens as a presentation.
//
// Owns: the checks of one file and the words that say why it fails. It does not own the walk over
// the catalogue or the report (PackChecker).
namespace slidevane {

struct FileVerdict {
    enum class State { Usable, FileMissing, FolderMissing, Unusable };
    State state = State::FileMissing;
    std::string native; // the path on this system, as far as it resolved
    std::string detail; // what a template is when usable, why a file is not
};

class PackFiles {
public:
    explicit PackFiles(NativePath paths);

    FileVerdict Picture(const std::string& catalogPath) const;
    FileVerdict Template(const std::string& catalogPath) const;

private:
    NativePath paths_;
};

} // namespace slidevane
