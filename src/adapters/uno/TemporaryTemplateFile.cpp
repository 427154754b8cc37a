#include "TemporaryTemplateFile.h"

#include "shell/RuntimeError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace slidevane {

TemporaryTemplateFile::TemporaryTemplateFile(const std::string& suffix) {
    char const* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                          "/slidevane3-XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int const fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        throw RuntimeError::Automation("ApplyTemplate", "cannot create a temporary file in " +
                                                            pattern + ": " + std::strerror(errno));
    }
    close(fd);
    path_ = name.data();
}

TemporaryTemplateFile::~TemporaryTemplateFile() {
    unlink(path_.c_str());
}

} // namespace slidevane
