#pragma once

#include "catalogue/Module1.h"

#include <cstdint>
#include <string>

// The pack's installation record: the install folder and the folders derived from it, the
// category titles and the template file names. Every call reads the registry afresh.
//
// Owns: the layout of the record (key paths, value names) and how its texts are trimmed. It
// does not own the registry reads themselves (Module1) nor the picture names (PictureNames).
namespace slidevane {

class Catalogue {
public:
    static constexpr const char* CatalogueKey = "SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0\\";

    explicit Catalogue(Module1& module1);

    std::string InstallFolder();          // as stored, without its terminator
    std::string GetDefaultPath();         // install folder + "\UI\"
    std::string GetDefaultTemplatePath(); // install folder + "\TEMPLATE\"
    std::string GetIndexTitle(std::int16_t indexInt);
    // The template's file name with its stored NUL kept; false and "" when the catalogue lacks it.
    bool LookupTemplateFile(std::string& fileName, std::int16_t category, std::int16_t number);

    Module1& Registry() { return module1_; }

    // A stored text without its terminating NUL. A text stored without one keeps every
    // character; an empty text raises error 5.
    static std::string WithoutTerminator(const std::string& text);

private:
    Module1& module1_;
};

} // namespace slidevane
