#pragma once

#include <filesystem>

namespace slidevane {

// The user's data home and the folder of registry files in it, decided in one place for the
// program, which reads registry files there, and the pack command, which writes one there: a
// file the command writes is always one the program reads. XDG_DATA_HOME counts only when it
// is an absolute path; an empty or relative value is ignored, as the base-directory rules say,
// and ~/.local/share stands in.
//
// Owns: that rule. Does not own: the home folder (NativePath::homeFolder()).
class DataHome {
public:
    static std::filesystem::path Folder();
    // Folder()/slidevane3/registry.d
    static std::filesystem::path RegistryFolder();
};

} // namespace slidevane
