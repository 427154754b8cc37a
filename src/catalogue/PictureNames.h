#pragma once

#include <cstdint>
#include <string>

// The one naming scheme of every picture the program loads at run time. Names are plain
// concatenations: the title goes in unchanged, numbers as decimal digits.
namespace slidevane::PictureNames {

// Strip button picture: folder + "b_" + title + "-" + look + ".gif"; look 'a' normal, 'b' under
// the pointer, 'c' current category.
std::string Strip(const std::string& uiFolder, const std::string& title, char look);

// Preview picture: folder + "p_" + title + "-" + look + number + ".gif"; look 'a' normal
// thumbnail, 'b' highlighted thumbnail, 'c' main preview.
std::string Preview(const std::string& uiFolder, const std::string& title, char look,
                    std::int16_t number);

// Web button picture: folder + "www-1.gif" (normal) or "www-2.gif" (under the pointer).
std::string WebNormal(const std::string& uiFolder);
std::string WebHover(const std::string& uiFolder);

} // namespace slidevane::PictureNames
