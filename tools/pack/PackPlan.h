#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What a pack will hold, as read from the folder of templates: the categories in strip order,
// each with its title and its templates by number, and the name each template's copy takes in
// the pack. Plain data; the source reader fills it and everything else reads it.
namespace slidevane {

struct PackTemplate {
    int number = 0;               // 1 to 3 within its category
    std::filesystem::path source; // the file as found in the source folder
    std::string packName;         // the copy's file name in TEMPLATE/, as the catalogue gives it
};

struct PackCategory {
    int index = 0;                // 0 to 9: the strip position and the catalogue's INDEX value
    std::string title;            // the folder's name, byte for byte
    std::filesystem::path folder; // the folder in the source
    std::vector<PackTemplate> templates;

    // The template of `number`, or nullptr when the category has none there.
    const PackTemplate* Template(int number) const {
        for (const PackTemplate& candidate : templates) {
            if (candidate.number == number) {
                return &candidate;
            }
        }
        return nullptr;
    }
};

struct PackPlan {
    static constexpr int CategorySlots = 10;
    static constexpr int TemplateSlots = 3;

    std::vector<PackCategory> categories;

    int TemplateCount() const {
        int count = 0;
        for (const PackCategory& category : categories) {
            count += static_cast<int>(category.templates.size());
        }
        return count;
    }
};

} // namespace slidevane
