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
    std::filesystem::path garbage;        // random bytes named .pot
    std::filesystem::path textDocument;   // an ODF text document, .odt
};

} // namespace slidevane::testing
