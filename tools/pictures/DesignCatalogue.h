#pragma once

#include "SlideDesign.h"

#include <array>
#include <optional>
#include <string>

namespace slidevane {

// The sample pack's content: the ten category titles in registry order, which of the three
// template slots each category fills, the design in each slot and the file it ships as. It does
// not write files; the pack builder and the picture tool both read it.
class DesignCatalogue {
public:
    static constexpr int CategoryCount = 10;
    static constexpr int SlotsPerCategory = 3;

    static const std::array<std::string, CategoryCount>& Titles();

    // Slot is 1..3; empty when the category leaves that slot uninstalled.
    static std::optional<SlideDesign> Design(int category, int slot);

    // Whether this slot also ships as a PowerPoint 97-2003 template, and which file the
    // registry names for it (the .pot where one ships, so both formats get opened).
    static bool HasLegacyCopy(int category, int slot);
    static std::string RegisteredFile(int category, int slot);
};

} // namespace slidevane
