#pragma once

#include "PackScene.h"

#include <filesystem>
#include <string>
#include <vector>

// The folder of templates that the pack of the made-pack tests comes from: the tests' own
// fixture templates, which the shared test office wrote in every format, and the two templates
// that the presentation application itself wrote, under titles with accents, an ampersand,
// quotes and spaces, fewer than ten of them, one category short of templates and one empty;
// one template's file name is not UTF-8 text.
//
// Owns: the layout of that folder and where each template of it ends up in the pack. It does
// not run the program.
namespace slidevane::test {

struct MadeSource {
    struct Template {
        std::string name;           // in the category folder
        std::filesystem::path from; // the file copied there
    };
    struct Category {
        std::string title;
        std::vector<Template> templates; // in the order the program takes them
    };

    // The categories in strip order. `fixtures` is the folder of the shared office's templates,
    // `real` that of the templates the presentation application wrote.
    static std::vector<Category> Layout(const std::filesystem::path& fixtures,
                                        const std::filesystem::path& real);
    // Makes the source folder of `scene` after the layout, with a file that is no template.
    static void Lay(const PackScene& scene, const std::vector<Category>& layout);

    static constexpr const char* Cafe = "Caf\xC3\xA9 & Co";
    static constexpr const char* Masters = "Masters";
    static constexpr const char* Quoted = "Q&A \"Live\"";
    static constexpr const char* Zebra = "Zebra";
    static constexpr const char* Empty = "agenda";
    static constexpr const char* NotATemplate = "notes.txt";   // in Quoted
    static constexpr const char* NotUtf8 = "b d\xE9sign.potx"; // in Cafe, in Latin-1
};

} // namespace slidevane::test
