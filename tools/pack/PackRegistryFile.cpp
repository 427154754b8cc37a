#include "PackRegistryFile.h"

#include "adapters/posix/DataHome.h"
#include "adapters/posix/RegistryFileStore.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Module1.h"
#include "platform/RuntimeError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace slidevane {

namespace fs = std::filesystem;

namespace {

constexpr const char* Line = "\r\n";

std::string Value(const std::string& name, const std::string& text) {
    return PackRegistryFile::Quoted(name) + "=" + PackRegistryFile::Quoted(text) + Line;
}

std::string Key(const std::string& below) {
    return std::string("[") + PackRegistryFile::CatalogueKey + below + "]" + Line;
}

[[noreturn]] void Fail(const fs::path& file, const std::string& what) {
    throw std::runtime_error(file.string() + ": " + what + ": " + std::strerror(errno));
}

} // namespace

std::string PackRegistryFile::Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char const c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string PackRegistryFile::Text(const std::string& presentPath, const PackPlan& plan) {
    std::string text = std::string("Windows Registry Editor Version 5.00") + Line + Line;
    text += std::string("[-") + CatalogueKey + "]" + Line + Line;
    text += Key("") + Value("PresentPath", presentPath) + Line;
    // Every title the program reads must be there; an unused category has the empty title,
    // which names the blank pictures every unused category shares.
    text += Key("\\INDEX");
    for (int index = 0; index < PackPlan::CategorySlots; ++index) {
        std::string title;
        if (index < static_cast<int>(plan.categories.size())) {
            title = plan.categories[static_cast<std::size_t>(index)].title;
        }
        text += Value(std::to_string(index), title);
    }
    for (const PackCategory& category : plan.categories) {
        if (category.templates.empty()) {
            continue;
        }
        text += Line + Key("\\TEMPLATE\\" + std::to_string(category.index));
        for (const PackTemplate& entry : category.templates) {
            text += Value(std::to_string(entry.number), entry.packName);
        }
    }
    return text;
}

fs::path PackRegistryFile::DefaultLocation(const fs::path& pack) {
    return DataHome::RegistryFolder() / (pack.filename().string() + ".reg");
}

void PackRegistryFile::Write(const fs::path& file, const std::string& text) {
    // Hidden and without the .reg ending: the store never reads it half-written.
    std::string pattern =
        (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    int const fd = mkstemp(pattern.data());
    if (fd < 0) {
        Fail(file, "cannot write a temporary file beside it");
    }
    fs::path const temporary = pattern;
    auto fail = [&](const char* what) {
        int const saved = errno;
        close(fd);
        unlink(temporary.c_str());
        errno = saved;
        Fail(file, what);
    };
    mode_t const mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) != 0) {
        fail("cannot set the temporary file's permissions");
    }
    for (std::size_t written = 0; written < text.size();) {
        ssize_t const n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            fail("cannot write");
        }
        written += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0) {
        fail("cannot write");
    }
    if (close(fd) != 0) {
        int const saved = errno;
        unlink(temporary.c_str());
        errno = saved;
        Fail(file, "cannot write");
    }
    if (rename(temporary.c_str(), file.c_str()) != 0) {
        int const saved = errno;
        unlink(temporary.c_str());
        errno = saved;
        Fail(file, "cannot put it in place");
    }
}

std::optional<std::string> PackRegistryFile::RecordedFolder(const fs::path& file) {
    RegistryFileStore store({file}, TextCodec::Narrow::Utf8, [](const std::string&) {});
    Module1 module1(store);
    Catalogue catalogue(module1);
    try {
        return catalogue.InstallFolder();
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

} // namespace slidevane
