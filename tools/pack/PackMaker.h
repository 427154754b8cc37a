#pragma once

#include "InterruptWatch.h"
#include "PackCommandLine.h"
#include "PackDestination.h"
#include "PackPlan.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// Makes a pack from a folder of templates, all or nothing: checks the command's paths and the
// source, starts a private office, draws the fixed pictures while it starts, has it render every
// template as a double-click would open it, then puts the pack in place and writes the registry
// file that records it. Progress goes to `out`, one line per template with a count; notes and
// problems to `err`, each naming the folder or file.
//
// Owns: the order of the work and the rules for DEST and the registry file (what may be
// replaced). It does not own the source's layout rules (SourceReader), the pictures
// (PackPictures) or the office (PrivateOffice).
namespace slidevane {

class PackMaker {
public:
    static constexpr int Written = 0;
    static constexpr int NothingWritten = 1;

    PackMaker(PackCommandLine line, InterruptWatch& interrupts, std::ostream& out,
              std::ostream& err);

    // Written, or NothingWritten (also when interrupted: then Interrupted() says by what).
    int Run();

private:
    struct Paths {
        std::filesystem::path source;
        std::filesystem::path destination; // absolute, its folder's links resolved
        std::filesystem::path registry;
        bool defaultRegistry = false;
        PackDestination found; // what stood at the destination when it was checked
    };

    Paths Resolve(std::vector<std::string>& problems) const;
    void CheckDestination(Paths& paths, std::vector<std::string>& problems) const;
    void CheckRegistry(const Paths& paths, std::vector<std::string>& problems) const;
    // Removes what runs that were killed left beside the destination and in $TMPDIR, with a
    // note for each.
    void RemoveAbandoned(const Paths& paths);
    // Renders and copies every template into the pack; false when any failed.
    bool Build(const PackPlan& plan, const std::filesystem::path& pack);
    void ThrowIfInterrupted() const;
    void Problem(const std::string& text);

    PackCommandLine line_;
    InterruptWatch& interrupts_;
    std::ostream& out_;
    std::ostream& err_;
};

} // namespace slidevane
