#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A template pack for the benchmark: the sample pack's pictures and titles, with the templates
// being timed in its first categories, and the registry file that records it. The program
// reads only that file (SLIDEVANE3_REGISTRY), so the pack installed on the machine, if any,
// plays no part.
//
// Owns: the pack folder and the registry file it writes under the folder it is given.
namespace slidevane::bench {

class BenchPack {
public:
    // Where a template sits in the window: category k (0 = the top strip button), thumbnail j
    // (1 to 3).
    struct Place {
        int category = 0;
        int thumbnail = 1;
    };

    // Copies `samplePack`'s pictures and `templates` into `folder`, three to a category in
    // order, and writes the registry file.
    BenchPack(const std::filesystem::path& samplePack, const std::filesystem::path& folder,
              const std::vector<std::filesystem::path>& templates);

    const std::filesystem::path& RegistryFile() const { return registry_; }
    Place PlaceOf(std::size_t templateIndex) const {
        return {static_cast<int>(templateIndex / 3), static_cast<int>(templateIndex % 3) + 1};
    }
    // The template's copy inside the pack, which is the file a double-click opens.
    const std::filesystem::path& Template(std::size_t templateIndex) const {
        return copies_.at(templateIndex);
    }

private:
    std::filesystem::path registry_;
    std::vector<std::filesystem::path> copies_;
};

} // namespace slidevane::bench
