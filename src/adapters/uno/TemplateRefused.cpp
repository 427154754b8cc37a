#include "TemplateRefused.h"

#include <utility>

namespace slidevane {

TemplateRefused::TemplateRefused(std::string nativePath, std::string why)
    : RuntimeError(Automation("ApplyTemplate", "the template " + nativePath +
                                                   " cannot be opened as a presentation: " + why)),
      nativePath_(std::move(nativePath)), why_(std::move(why)) {}

} // namespace slidevane
