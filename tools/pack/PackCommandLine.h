#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The command line of slidevane3-pack: [--force] [--registry FILE] SOURCE DEST, or --help.
//
// Owns: the options, their meaning and the help text. It does not check the paths.
namespace slidevane {

struct PackCommandLine {
    std::filesystem::path source;
    std::filesystem::path destination;
    std::optional<std::filesystem::path> registry;
    bool force = false;
    bool help = false;

    // Throws std::invalid_argument with what is wrong.
    static PackCommandLine Parse(const std::vector<std::string>& arguments);
    static const char* Help();
};

} // namespace slidevane
