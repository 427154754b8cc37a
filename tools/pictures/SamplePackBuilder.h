#pragma once

#include <filesystem>
#include <string>

namespace slidevane {

// Makes the sample template pack as an installed pack looks: TEMPLATE/ with the templates,
// UI/ with every strip, thumbnail, preview and web picture the catalogue names, and the
// registry file template naming it all. Templates are written as flat ODF, converted by the
// office suite, and their first slides rendered for the previews. Clears its own outputs first
// so a removed template leaves nothing stale behind.
class SamplePackBuilder {
public:
    explicit SamplePackBuilder(std::filesystem::path packFolder) : pack_(std::move(packFolder)) {}

    void Build();

    // The registry file template's text; @PACK_DIR@ is left for the build to fill in.
    static std::string RegistryTemplate();

private:
    void WritePictures(const std::filesystem::path& renders) const;

    std::filesystem::path pack_;
};

} // namespace slidevane
