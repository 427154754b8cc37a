#include "catalogue/PictureNames.h"

namespace slidevane::PictureNames {

std::string Strip(const std::string& uiFolder, const std::string& title, char look) {
    return uiFolder + "b_" + title + "-" + look + ".gif";
}

std::string Preview(const std::string& uiFolder, const std::string& title, char look,
                    std::int16_t number) {
    return uiFolder + "p_" + title + "-" + look + std::to_string(number) + ".gif";
}

std::string WebNormal(const std::string& uiFolder) { return uiFolder + "www-1.gif"; }

std::string WebHover(const std::string& uiFolder) { return uiFolder + "www-2.gif"; }

} // namespace slidevane::PictureNames
