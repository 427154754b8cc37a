#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace slidevane {

// Reads the sample pack's registry file template the way the tests need it: the header line,
// and string values by key and name. Only the subset the pack writes (string values, \\ and \"
// escapes); anything else in the file is an error, so a malformed template fails loudly.
class PackRegistryTemplate {
public:
    explicit PackRegistryTemplate(const std::filesystem::path& path);

    const std::string& Header() const { return header_; }
    bool StartsWithByteOrderMark() const { return bom_; }
    std::optional<std::string> Value(const std::string& key, const std::string& name) const;
    // name -> value for one key; empty when the key is absent.
    std::map<std::string, std::string> Values(const std::string& key) const;

private:
    std::string header_;
    bool bom_ = false;
    std::map<std::string, std::map<std::string, std::string>> keys_;
};

} // namespace slidevane
