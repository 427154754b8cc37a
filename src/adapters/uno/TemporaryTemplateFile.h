#pragma once

#include <string>

// A uniquely named, empty file under $TMPDIR that the office overwrites with a converted
// template. It is the one file the program ever writes, and it exists only while the template's
// design is being imported.
//
// Owns: the file; it is removed when this object goes, whatever happened meanwhile.
namespace slidevane {

class TemporaryTemplateFile {
public:
    explicit TemporaryTemplateFile(const std::string& suffix);
    ~TemporaryTemplateFile();
    TemporaryTemplateFile(const TemporaryTemplateFile&) = delete;
    TemporaryTemplateFile& operator=(const TemporaryTemplateFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace slidevane
