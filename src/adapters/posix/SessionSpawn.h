#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Starts a program as the user's own, in a session of its own: every signal at its default and
// none blocked, whatever this program ignores or blocks for itself (a closed pipe, say), and no
// terminal's signals to this program reach it. It gets this program's environment.
//
// Owns nothing: the caller waits for the process or ends it.
namespace slidevane {

class SessionSpawn {
public:
    // What each of standard input, output and error becomes: a descriptor of this program's,
    // or one of these.
    static constexpr int Null = -1;    // /dev/null
    static constexpr int Inherit = -2; // this program's own
    struct Streams {
        int input = Null;
        int output = Null;
        int error = Null;
    };

    // Starts `arguments`, looking the program up on PATH when its name has no slash. The
    // process id, or -1 with `error` set to why it could not start.
    static pid_t Start(const std::vector<std::string>& arguments, Streams streams, int& error);
};

} // namespace slidevane
