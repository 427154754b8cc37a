#pragma once

#include <string>

// Writes a pack whose every picture is 4096 x 4096 pixels: each picture of the given pack drawn
// in the top-left corner of a 4096 x 4096 screen whose rest is the colour of its bottom-right
// pixel, so the window shows exactly what it shows on the given pack while every file decodes
// to 64 MiB. The registry file records the same catalogue with the new folder.
namespace slidevane::bench {

// Returns the registry file's path inside `folder`, or "" when the pack cannot be read.
std::string WriteHugePicturePack(const std::string& folder, const std::string& packRegistry);

} // namespace slidevane::bench
