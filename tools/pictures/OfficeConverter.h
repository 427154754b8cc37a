#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace slidevane {

// Runs the office suite headless to convert files, in a private throwaway profile so it
// neither reads nor disturbs a user's settings and can run beside an open office session.
// The profile turns off document thumbnails, which would otherwise triple the template size.
// It knows file formats only by the filter names given to it.
class OfficeConverter {
public:
    OfficeConverter();
    ~OfficeConverter();
    OfficeConverter(const OfficeConverter&) = delete;
    OfficeConverter& operator=(const OfficeConverter&) = delete;

    // target is what --convert-to takes, e.g. "otp:impress8_template" or "png". Returns the
    // output files in input order; throws when the suite fails or an output is missing.
    std::vector<std::filesystem::path> Convert(const std::vector<std::filesystem::path>& inputs,
                                               const std::string& target,
                                               const std::filesystem::path& outputFolder);

private:
    std::filesystem::path profile_;
};

} // namespace slidevane
