#pragma once

#include <string>
#include <string_view>

namespace slidevane::test {

// A fresh folder under the system's temporary folder for one test, removed with everything in
// it when the test ends.
//
// Owns: the folder and its contents. Does not own: what the tests put in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view relative) const;
    // Writes (replacing) a file, making its folders; returns its path.
    std::string write(std::string_view relative, std::string_view bytes) const;
    std::string makeFolder(std::string_view relative) const;

private:
    std::string path_;
};

} // namespace slidevane::test
