#pragma once

#include "PackPlan.h"

#include <filesystem>
#include <optional>
#include <string>

// The registry file that records a pack: in the registry editor's format that the program's
// store reads, it first deletes the whole catalogue key, so that nothing of an earlier pack
// can mix into this one, then writes every value: the pack's folder, ten titles (an empty one
// for each unused category) and the templates' file names.
//
// Owns: the file's text, its default place and how it is written (whole, or not at all). It
// does not decide whether a file may be replaced.
namespace slidevane {

class PackRegistryFile {
public:
    static constexpr const char* CatalogueKey =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0";

    static std::string Text(const std::string& presentPath, const PackPlan& plan);

    // <the data home>/slidevane3/registry.d/<name of the pack's folder>.reg, in the folder the
    // program reads (DataHome).
    static std::filesystem::path DefaultLocation(const std::filesystem::path& pack);

    // Writes `text` to `file` through a temporary file beside it that is renamed over it, so a
    // reader sees the old file or the new one, never a part. Throws std::runtime_error.
    static void Write(const std::filesystem::path& file, const std::string& text);

    // The install folder that an existing registry file records, or nothing when it records no
    // pack's catalogue.
    static std::optional<std::string> RecordedFolder(const std::filesystem::path& file);

    // A text as a quoted string of the format: backslashes and quotes escaped.
    static std::string Quoted(const std::string& text);
};

} // namespace slidevane
