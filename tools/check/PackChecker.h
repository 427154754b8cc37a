#pragma once

#include "PackFiles.h"
#include "platform/RegistryApi.h"

#include <ostream>
#include <string>

// Reads a pack's catalogue through the very same registry routines and picture-name scheme as
// the program, and prints what the program will see: folders, titles, template entries and
// every picture file it can load, each marked found, missing or unusable with the reason.
//
// Owns: the walk over the catalogue and the report. It does not own the checks of a file
// (PackFiles, which shares them with the program) nor the registry.
namespace slidevane {

class PackChecker {
public:
    static constexpr int AllUsable = 0;
    static constexpr int SomethingWrong = 1;
    static constexpr int CatalogueUnreadable = 2;

    PackChecker(RegistryApi& registry, const PackFiles& files, std::ostream& out);

    // Prints the report; returns AllUsable, SomethingWrong or CatalogueUnreadable.
    int Run();

private:
    struct Tally {
        int files = 0;
        int missing = 0;
        int unusable = 0;
    };
    // One line for the file; true when the program can use it.
    bool Report(const std::string& label, const FileVerdict& verdict, Tally& tally);

    RegistryApi& registry_;
    const PackFiles& files_;
    std::ostream& out_;
};

} // namespace slidevane
