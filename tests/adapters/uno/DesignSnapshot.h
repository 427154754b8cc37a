#pragma once

#include "OfficeConnection.h"

#include <com/sun/star/frame/XModel.hpp>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// What a presentation's design consists of, read from the document: its masters (name,
// background, placeholders and other shapes), the slide size and the title style of the first
// master. Two documents with equal snapshots look the same to the user before any content is
// added.
//
// Owns: plain values only; reading them changes nothing in the document.
namespace slidevane::testing {

struct MasterDesign {
    std::string name;
    int fillStyle = -1; // -1: the master has no background of its own
    std::int32_t fillColour = 0;
    std::vector<std::string> shapeTypes; // sorted

    bool operator==(const MasterDesign&) const = default;
};

class DesignSnapshot {
public:
    static DesignSnapshot Of(OfficeConnection& office,
                             const css::uno::Reference<css::frame::XModel>& document);

    std::vector<MasterDesign> masters;
    std::int32_t slideWidth = 0;
    std::int32_t slideHeight = 0;
    std::int32_t titleColour = 0;
    float titleHeight = 0;
    int slideCount = 0;
    std::string firstSlideMaster;
    int firstSlideLayout = -1;

    // Equal designs; the slides themselves (count) are not part of a design.
    bool SameDesign(const DesignSnapshot& other) const;
    // This design is `template`'s with one slide laid out on its first master: equal but for
    // the title and outline placeholders that the office gives a master once a slide with a
    // layout uses it, which the first master may have gained.
    bool TemplateWithTitleSlide(const DesignSnapshot& templateDesign) const;
};

std::ostream& operator<<(std::ostream& out, const DesignSnapshot& design);

} // namespace slidevane::testing
