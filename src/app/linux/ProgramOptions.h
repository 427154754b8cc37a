#pragma once

#include <optional>
#include <string>

// What the program is told when it starts: whether the office may be started ahead, from the
// command line and the environment, the command line winning.
//
// Owns: the parsed options; it starts nothing.
namespace slidevane {

class ProgramOptions {
public:
    // `arguments` without the program's name and without what the toolkit took for itself;
    // `officeAhead` is SLIDEVANE3_OFFICE_AHEAD's value, when set.
    static ProgramOptions Parse(int count, const char* const* arguments, const char* officeAhead);

    bool officeAhead = true;
    bool help = false;
    // Set when the command line cannot be used; the text says why.
    std::optional<std::string> error;

    static const char* Usage();
};

} // namespace slidevane
