#include "DesignCatalogue.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace slidevane {

namespace {

struct Scheme {
    Rgb top, bottom, accent, second, title, text;
    std::array<const char*, 3> points;
};

constexpr Rgb Hex(std::uint32_t v) {
    return Rgb::FromKey(v);
}

// One colour scheme and one set of sample points per category, in registry order.
const std::array<Scheme, DesignCatalogue::CategoryCount> Schemes{{
    {Hex(0x3b1450),
     Hex(0x7a2a6e),
     Hex(0xf2b632),
     Hex(0xff6f59),
     Hex(0xfff6e0),
     Hex(0xf3e6f5),
     {"Ten years together", "Thanks to every team", "The party starts at six"}},
    {Hex(0xf4f6f8),
     Hex(0xd9e3ee),
     Hex(0x0f3b5f),
     Hex(0x2e9c6a),
     Hex(0x0f3b5f),
     Hex(0x22313f),
     {"Revenue against plan", "Cost of operations", "Outlook for next quarter"}},
    {Hex(0xfff8ec),
     Hex(0xffdca8),
     Hex(0xe4572e),
     Hex(0x29335c),
     Hex(0x29335c),
     Hex(0x3a3a3a),
     {"What is changing", "Who it concerns", "When it takes effect"}},
    {Hex(0x1f3a2e),
     Hex(0x2c5242),
     Hex(0xe8e3c7),
     Hex(0xc9a227),
     Hex(0xf4f1de),
     Hex(0xe6e2cc),
     {"Learning goals", "Key ideas", "Reading for next week"}},
    {Hex(0xe8f4fb),
     Hex(0xffffff),
     Hex(0x1d7fc4),
     Hex(0x7cc6ee),
     Hex(0x0c4a75),
     Hex(0x253746),
     {"Who we are", "What we do", "How to reach us"}},
    {Hex(0x2b2d42),
     Hex(0x3d405b),
     Hex(0x8d99ae),
     Hex(0xef233c),
     Hex(0xedf2f4),
     Hex(0xdfe3ea),
     {"Done since last review", "Open risks", "Next milestones"}},
    {Hex(0xfdfdf7),
     Hex(0xe6eed6),
     Hex(0x6a994e),
     Hex(0xf2a541),
     Hex(0x386641),
     Hex(0x333d29),
     {"Course outline", "Hands-on exercise", "Check your skills"}},
    {Hex(0xfffbe6),
     Hex(0xfff0a0),
     Hex(0xff8c42),
     Hex(0x3ec1d3),
     Hex(0x5a2a82),
     Hex(0x3d3d3d),
     {"The question", "Every idea counts", "Pick the best three"}},
    {Hex(0xffffff),
     Hex(0xe6eaf0),
     Hex(0x5b6770),
     Hex(0xc8102e),
     Hex(0x1f2a33),
     Hex(0x333333),
     {"Summary", "Findings", "Recommendations"}},
    {Hex(0x0b3c5d),
     Hex(0x328cc1),
     Hex(0xd9b310),
     Hex(0x1d2731),
     Hex(0xffffff),
     Hex(0xe8f1f8),
     {"Agenda", "Decisions needed", "Action items"}},
}};

// Which of the three slots each category fills. Announcement lacks slot 2 and Status Review
// has a single template, so the program meets gaps and lone templates in the sample pack.
constexpr std::array<std::array<bool, 3>, DesignCatalogue::CategoryCount> Installed{{
    {true, true, true},
    {true, true, false},
    {true, false, true},
    {true, true, true},
    {true, true, false},
    {true, false, false},
    {true, true, false},
    {false, true, true},
    {true, true, false},
    {true, true, true},
}};

void CheckSlot(int category, int slot) {
    if (category < 0 || category >= DesignCatalogue::CategoryCount || slot < 1 ||
        slot > DesignCatalogue::SlotsPerCategory)
        throw std::out_of_range("no such category or template slot");
}

} // namespace

const std::array<std::string, DesignCatalogue::CategoryCount>& DesignCatalogue::Titles() {
    static const std::array<std::string, CategoryCount> titles{
        "Celebration",   "Financial Review", "Announcement",   "Lecture", "Introduction",
        "Status Review", "Training",         "Brain Storming", "Report",  "Meeting"};
    return titles;
}

std::optional<SlideDesign> DesignCatalogue::Design(int category, int slot) {
    CheckSlot(category, slot);
    if (!Installed[category][slot - 1])
        return std::nullopt;
    const Scheme& s = Schemes[category];
    SlideDesign d;
    d.title = Titles()[category];
    std::string stem;
    for (char c : d.title)
        if (c != ' ')
            stem += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    d.stem = stem + std::to_string(slot);
    d.points.assign(s.points.begin(), s.points.end());
    // Slots rotate through the motifs, offset by category, so neighbours never look alike.
    d.motif = static_cast<SlideDesign::Motif>((category + slot - 1) % 3);
    static const std::array<const char*, 3> fonts{"DejaVu Sans", "DejaVu Serif",
                                                  "DejaVu Sans Condensed"};
    d.fontFamily = fonts[slot - 1];
    d.backgroundTop = s.top;
    d.backgroundBottom = s.bottom;
    d.accent = s.accent;
    d.accentSecond = s.second;
    d.titleColour = s.title;
    d.textColour = s.text;
    if (slot == 2) {
        // The second design of a category trades its accents, a sibling rather than a copy.
        std::swap(d.accent, d.accentSecond);
    }
    return d;
}

bool DesignCatalogue::HasLegacyCopy(int category, int slot) {
    CheckSlot(category, slot);
    return Installed[category][slot - 1] && (category == 1 || category == 8) && slot == 1;
}

std::string DesignCatalogue::RegisteredFile(int category, int slot) {
    const auto design = Design(category, slot);
    if (!design)
        return {};
    return design->stem + (HasLegacyCopy(category, slot) ? ".pot" : ".otp");
}

} // namespace slidevane
