#include "MadeSource.h"

#include "TemplateFixtures.h"

#include <fstream>

namespace slidevane::test {

namespace fs = std::filesystem;

std::vector<MadeSource::Category> MadeSource::Layout(const fs::path& fixtures,
                                                     const fs::path& real) {
    testing::TemplateFixtures const made = testing::TemplateFixtures::In(fixtures);
    // Byte order: capitals before small letters, and the names in a folder likewise.
    return {
        {Cafe, {{"a design.otp", made.odfTemplate}, {NotUtf8, made.powerPoint2007}}},
        {Masters,
         {{"screenshot-deck.potx", real / "screenshot-deck.potx"},
          {"slide-masters.pot", real / "slide-masters.pot"}}},
        {Quoted,
         {{"deck.odp", made.odfPresentation},
          {"deck.ppt", made.powerPoint97Presentation},
          {"deck.pptx", made.powerPoint2007Presentation}}},
        {Zebra, {{"old.POT", made.powerPoint97}}},
        {Empty, {}},
    };
}

void MadeSource::Lay(const PackScene& scene, const std::vector<Category>& layout) {
    for (const Category& category : layout) {
        scene.Category(category.title);
        for (const Template& entry : category.templates) {
            scene.Put(category.title, entry.name, entry.from);
        }
    }
    std::ofstream(scene.Category(Quoted) / NotATemplate) << "passed over";
}

} // namespace slidevane::test
