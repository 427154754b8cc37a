#pragma once

#include <string>

// Where the office's pipes are on this machine, and whether anyone listens on one, found
// without the office's runtime: a look at a pipe costs one local connect, cheap enough for the
// user-interface thread.
//
// Owns: nothing; it knows how the office's runtime names and places its pipes for this user.
namespace slidevane {

class OfficePipes {
public:
    // The file of the pipe named `pipeName`.
    static std::string Named(const std::string& pipeName);
    // The file of the pipe an office keeps for its profile, given the profile's URL: any office
    // running on that profile listens there, whatever else it accepts.
    static std::string OfProfile(const std::string& profileUrl);
    // Whether something accepts connections on the pipe file `path` now.
    static bool Listening(const std::string& path);
    // Removes the pipe file `path` when nothing listens on it any more (an office that was
    // killed leaves its pipes behind).
    static void RemoveIfStale(const std::string& path);
};

} // namespace slidevane
