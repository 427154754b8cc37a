#pragma once

#include <string>
#include <string_view>

namespace slidevane {

// Turns a path as the catalogue builds it (backslashes, perhaps a drive letter, perhaps cut
// short by a NUL) into a Linux path. Drive letters go through the Wine prefix's dosdevices
// links (Z: is the root folder when there is no link). Packs copied from Windows media carry
// any case, so a component that does not exist as spelt is matched case-insensitively against
// its folder's entries: the exact spelling wins, then the first match in byte order. Each
// component costs its own length, never the path before it, and a path longer than the system
// can open is missing.
//
// Owns: the drive-letter folder and the resolution rules. Does not own: raising the run-time
// error; the status says which one (53 or 76) the caller raises.
class NativePath {
public:
    enum class Status { Found = 0, FileMissing = 53, FolderMissing = 76 };
    struct Resolution {
        std::string path; // as far as it could be resolved
        Status status = Status::FolderMissing;
    };

    // dosDevices is the folder holding the drive links ("<prefix>/dosdevices").
    explicit NativePath(std::string dosDevices);
    // $WINEPREFIX/dosdevices, else ~/.wine/dosdevices.
    static NativePath fromEnvironment();

    // A path ending in a separator names a folder: anything missing is then FolderMissing.
    Resolution resolve(std::string_view windowsPath) const;

    const std::string& dosDevices() const { return dosDevices_; }

    // $HOME, else the user's entry in the password database.
    static std::string homeFolder();

private:
    std::string dosDevices_;
};

} // namespace slidevane
