#pragma once

#include <string>

// Writes a Wine hive of about 50,000 keys that also holds the pack's catalogue as read from
// `packRegistry`, so that the window's figures can be taken with the catalogue in a large store.
namespace slidevane::bench {

// Returns the hive's path inside `folder`, or "" when the pack's catalogue cannot be read.
std::string WriteLargeHive(const std::string& folder, const std::string& packRegistry);

} // namespace slidevane::bench
