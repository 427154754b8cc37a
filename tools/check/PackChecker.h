#pragma once

#include "platform/RegistryApi.h"

#include <functional>
#include <ostream>
#include <string>

// Reads a pack's catalogue through the very same registry routines and picture-name scheme as
// the program, and prints what the program will see: folders, titles, template entries and
// every picture file it can load, each marked found or missing.
//
// Owns: the walk over the catalogue and the report. It does not own path resolution (handed in,
// so it matches the program's) nor the registry.
namespace slidevane {

enum class PathState { Found, FileMissing, FolderMissing };

struct ResolvedPath {
    PathState state;
    std::string native;
};

class PackChecker {
public:
    using Resolver = std::function<ResolvedPath(const std::string& path)>;

    static constexpr int AllPresent = 0;
    static constexpr int SomethingMissing = 1;
    static constexpr int CatalogueUnreadable = 2;

    PackChecker(RegistryApi& registry, Resolver resolve, std::ostream& out);

    // Prints the report; returns AllPresent, SomethingMissing or CatalogueUnreadable.
    int Run();

private:
    bool CheckFile(const std::string& label, const std::string& path);

    RegistryApi& registry_;
    Resolver resolve_;
    std::ostream& out_;
    int pictures_ = 0;
    int missing_ = 0;
};

} // namespace slidevane
