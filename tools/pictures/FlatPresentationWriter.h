#pragma once

#include "SlideDesign.h"

#include <string>

namespace slidevane {

// Writes a design as a flat ODF presentation (one XML file): a master page carrying the
// background, the decorative shapes and the title and outline styles, and one sample slide
// that uses it. The office suite turns this into the shipped template formats; this class
// does no conversion and touches no files.
class FlatPresentationWriter {
public:
    static std::string Write(const SlideDesign& design);

    // Escapes text for XML character data and attribute values.
    static std::string Escape(const std::string& text);
};

} // namespace slidevane
