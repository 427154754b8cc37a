#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

// What stands at the pack's destination, seen without following a link there: nothing, a pack
// (a folder holding nothing but the folders UI and TEMPLATE, or nothing), or something this
// command never replaces. The destination is looked at when the command starts and again when
// the pack is put in place minutes later; the pack replaces only the very folder that was
// looked at first.
//
// Owns: what makes a folder a pack, and the comparison of two looks. It does not decide what
// may be replaced (PackMaker) or do the replacing (BuildFolder).
namespace slidevane {

class PackDestination {
public:
    enum class Kind { Missing, Pack, SymbolicLink, NotAFolder, NotAPack, Unreadable };

    static PackDestination Examine(const std::filesystem::path& path);

    Kind kind = Kind::Missing;
    // NotAPack: the entries no pack has, listed; Unreadable: why.
    std::string detail;
    dev_t device = 0;
    ino_t inode = 0;

    // Whether `other` saw the same: nothing both times, or the same file (device and inode) of
    // the same kind. A folder that gained an entry no pack has is no longer the same.
    bool Same(const PackDestination& other) const {
        return kind == other.kind &&
               (kind == Kind::Missing || (device == other.device && inode == other.inode));
    }
};

} // namespace slidevane
