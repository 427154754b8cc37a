#include "PackCommandLine.h"

#include <stdexcept>

namespace slidevane {

PackCommandLine PackCommandLine::Parse(const std::vector<std::string>& arguments) {
    PackCommandLine line;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string const& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--force" || argument == "-f") {
            line.force = true;
        } else if (argument == "--registry") {
            if (i + 1 >= arguments.size()) {
                throw std::invalid_argument("--registry needs a file");
            }
            line.registry = arguments[++i];
        } else if (argument.starts_with("--registry=")) {
            line.registry = argument.substr(std::string("--registry=").size());
        } else {
            throw std::invalid_argument("unknown option " + argument);
        }
    }
    if (line.help) {
        return line;
    }
    if (line.registry && line.registry->empty()) {
        throw std::invalid_argument("--registry needs a file");
    }
    if (paths.size() != 2) {
        throw std::invalid_argument(paths.size() < 2 ? "SOURCE and DEST are needed"
                                                     : "only SOURCE and DEST are taken");
    }
    for (const std::string& path : paths) {
        if (path.empty()) {
            throw std::invalid_argument("an empty path is no folder");
        }
    }
    line.source = paths[0];
    line.destination = paths[1];
    return line;
}

const char* PackCommandLine::Help() {
    return R"(Usage: slidevane3-pack [--force] [--registry FILE] SOURCE DEST

Makes a Slidevane3 template pack at DEST from a folder of templates, and a registry file that
records it, so that slidevane3 shows the pack at its next start.

SOURCE holds one folder per category, at most ten, taken in byte order of their names; a
folder's name is the category's title. Each category folder holds up to three templates
(.otp, .pot, .potx, or .odp, .ppt, .pptx used as templates), taken in byte order of their
names as templates 1, 2 and 3. Hidden entries are passed over; other entries are passed over
with a note.

A private office (its own profile in a temporary folder, removed at the end) opens every
template the way a double-click does and renders its first slide for the previews. The pack is
built beside DEST and put in place only when every template worked, in one step and only if
DEST is still what was checked at the start; then the registry file is written. Nothing is
written when anything fails. What a killed run left beside DEST and in $TMPDIR is removed by
the next run.

Options:
  --registry FILE  write the registry file here instead of
                   ${XDG_DATA_HOME:-~/.local/share}/slidevane3/registry.d/<name of DEST>.reg
                   (an XDG_DATA_HOME that is not an absolute path is ignored, as
                   slidevane3 ignores it)
  --force          replace an existing pack at DEST (a folder holding only UI and TEMPLATE),
                   and a registry file that records another pack
  --help           show this text

Exit status: 0 when the pack and its registry file were written; 1 when nothing was written
because something is wrong (each problem is named); 2 for a wrong command line.
)";
}

} // namespace slidevane
