#pragma once

#include "OfficeConnection.h"

#include <cstdint>
#include <filesystem>

// Template files for the tests and the benchmark, made by the test office itself: a two-master
// presentation design with colours no default design has, stored as an ODF template and as
// the PowerPoint template formats; and files that are not templates at all.
//
// Owns: the files in the folder it is given; it leaves no document open in the office.
namespace slidevane::testing {

class TemplateFixtures {
public:
    static constexpr std::int32_t FirstMasterColour = 0x1F7A8C;
    static constexpr std::int32_t SecondMasterColour = 0xE8D5B5;
    static constexpr std::int32_t TitleColour = 0xC0392B;
    static constexpr std::int32_t SlideWidth = 25400;
    static constexpr std::int32_t SlideHeight = 14288;
    static constexpr const char* FirstMasterName = "Slidevane Teal";
    static constexpr const char* SecondMasterName = "Slidevane Sand";

    // Writes the fixtures into `folder`; or just names them when they are already there.
    static TemplateFixtures Make(OfficeConnection& office, const std::filesystem::path& folder);
    static TemplateFixtures In(const std::filesystem::path& folder);

    std::filesystem::path odfTemplate;    // .otp
    std::filesystem::path powerPoint97;   // .pot
    std::filesystem::path powerPoint2007; // .potx
    // The same design saved as presentations, which packs may also use as templates.
    std::filesystem::path odfPresentation;            // .odp
    std::filesystem::path powerPoint97Presentation;   // .ppt
    std::filesystem::path powerPoint2007Presentation; // .pptx

    std::filesystem::path garbage;               // random bytes named .pot
    std::filesystem::path textDocument;          // an ODF text document, .odt
    std::filesystem::path passwordProtected;     // the .otp encrypted with a password
    std::filesystem::path passwordProtected2007; // the .potx encrypted with a password
    std::filesystem::path passwordProtected97;   // the .pot marked as protected by a password
    std::filesystem::path truncatedOdf;          // the first half of the .otp
    std::filesystem::path truncated97;           // the first half of the .pot
    std::filesystem::path emptyFile;             // zero bytes named .potx
    std::filesystem::path folder;                // a folder named like a template
    std::filesystem::path pipe;                  // a named pipe named like a template

    static constexpr const char* Password = "slidevane";
};

} // namespace slidevane::testing
