#pragma once

#include "PackPlan.h"

#include <filesystem>
#include <string>
#include <vector>

// Reads a folder of templates as a pack's content: one folder per category, taken in byte order
// of their names, the folder's name being the category's title; in each, up to three template
// files in byte order of their names, as templates 1, 2 and 3. Hidden entries are passed over;
// other entries that are not categories or templates are passed over with a note.
//
// Owns: the rules of the source's layout and of titles (what can form the pictures' file names)
// and the naming of the templates' copies. It does not open templates or write anything.
namespace slidevane {

class SourceReader {
public:
    static constexpr std::size_t MaxTitleBytes = 200;

    struct Result {
        PackPlan plan;
        // Each names the folder or file and says what is wrong; the pack cannot be made.
        std::vector<std::string> problems;
        // Entries passed over, each naming the entry and saying why.
        std::vector<std::string> notes;
    };

    static Result Read(const std::filesystem::path& source);

    // What keeps `title` from forming the pictures' file names, or "" when nothing does.
    static std::string TitleProblem(const std::string& title);
    // Whether a file name has one of the template extensions (in any case).
    static bool IsTemplateName(const std::string& name);
    // The copy's name in the pack: category index, template number and the original extension
    // in lower case, so names are unique, short and safe in every path the catalogue builds.
    static std::string PackName(int index, int number, const std::filesystem::path& source);
};

} // namespace slidevane
