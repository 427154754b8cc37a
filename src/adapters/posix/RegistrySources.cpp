#include "adapters/posix/RegistrySources.h"

#include "adapters/posix/RegistryFileParser.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace slidevane {

namespace {

bool endsWithReg(const std::string& name) {
    if (name.size() <= 4) {
        return false;
    }
    const std::string tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'r' && (tail[2] | 0x20) == 'e' &&
           (tail[3] | 0x20) == 'g';
}

// Closes the descriptor however the read ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

RegistrySources::RegistrySources(std::vector<SearchPath> entries, Report report)
    : report_(std::move(report)), layers_(std::make_shared<Layers>()) {
    for (auto& entry : entries) {
        entries_.push_back(Entry{entry.path.string(), entry.optional, std::nullopt, {}, {}});
    }
}

std::shared_ptr<const RegistrySources::Layers> RegistrySources::refresh() {
    bool changed = false;
    for (Entry& entry : entries_) {
        changed = refreshEntry(entry) || changed;
    }
    if (changed) {
        auto layers = std::make_shared<Layers>();
        for (const Entry& entry : entries_) {
            for (const File& file : entry.files) {
                if (file.tree) {
                    layers->push_back(file.tree);
                }
            }
        }
        layers_ = std::move(layers);
    }
    return layers_;
}

bool RegistrySources::refreshEntry(Entry& entry) {
    struct stat st {};
    if (::stat(entry.path.c_str(), &st) != 0) {
        if (!entry.optional) {
            reportAbsence(entry.path, entry.absence, std::strerror(errno));
        }
        const bool changed = !entry.files.empty();
        entry.files.clear();
        entry.folderIdentity.reset();
        return changed;
    }
    entry.absence.clear();
    bool changed = false;
    if (S_ISDIR(st.st_mode)) {
        const Identity folder{st.st_dev, st.st_ino, 0, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
        // Adding, removing or renaming a file changes the folder's modification time, so the
        // folder is only listed again when that moves.
        if (entry.folderIdentity != folder) {
            entry.folderIdentity = folder;
            changed = relistFolder(entry);
        }
    } else {
        entry.folderIdentity.reset();
        if (entry.files.size() != 1 || entry.files[0].path != entry.path) {
            entry.files.clear();
            entry.files.push_back(File{entry.path, std::nullopt, nullptr, {}});
            changed = true;
        }
    }
    for (File& file : entry.files) {
        changed = refreshFile(file) || changed;
    }
    return changed;
}

bool RegistrySources::relistFolder(Entry& entry) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(entry.path.c_str())) {
        while (const dirent* d = ::readdir(dir)) {
            const std::string name = d->d_name;
            if (endsWithReg(name)) {
                names.push_back(name);
            }
        }
        ::closedir(dir);
    } else {
        reportOnce(entry.path, *entry.folderIdentity, std::strerror(errno));
    }
    std::sort(names.begin(), names.end());
    std::vector<File> files;
    for (const std::string& name : names) {
        const std::string path = entry.path + "/" + name;
        auto old = std::find_if(entry.files.begin(), entry.files.end(),
                                [&](const File& f) { return f.path == path; });
        files.push_back(old != entry.files.end() ? std::move(*old)
                                                 : File{path, std::nullopt, {}, {}});
    }
    const bool changed = files.size() != entry.files.size();
    entry.files = std::move(files);
    return changed;
}

bool RegistrySources::refreshFile(File& file) {
    struct stat st {};
    if (::stat(file.path.c_str(), &st) != 0) {
        // A link that leads nowhere or round in a circle, a folder that may not be searched.
        reportAbsence(file.path, file.absence, std::strerror(errno));
        const bool changed = file.tree != nullptr;
        file.identity.reset();
        file.tree.reset();
        return changed;
    }
    file.absence.clear();
    const Identity identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec,
                            st.st_mtim.tv_nsec};
    if (file.identity == identity) {
        return false;
    }
    file.identity = identity;
    load(file);
    return true;
}

void RegistrySources::load(File& file) {
    file.tree.reset();
    // Non-blocking, so that a named pipe or a device is refused instead of waited on, and never
    // a controlling terminal; what it is shows on the open descriptor, so nothing can be put in
    // its place between the look and the read.
    Descriptor fd(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        reportOnce(file.path, *file.identity, std::strerror(errno));
        return;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        reportOnce(file.path, *file.identity, "not a regular file");
        return;
    }
    // What is read is what the identity describes, even if the file moved since the stat.
    file.identity =
        Identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    if (static_cast<std::uint64_t>(st.st_size) > kMaxFileSize) {
        reportOnce(file.path, *file.identity,
                   "larger than " + std::to_string(kMaxFileSize >> 20) + " MiB");
        return;
    }
    // Read as it is parsed, never past the cap whatever the size says (a file under /proc
    // says 0): the text is let go line by line, so the file costs its tree, not its text.
    ByteSource source(fd.get(), static_cast<std::uint64_t>(st.st_size), kMaxFileSize);
    ++parseCount_;
    std::string error;
    file.tree = RegistryFileParser::parse(source, file.path, error);
    if (!file.tree) {
        reportOnce(file.path, *file.identity, error);
    }
}

void RegistrySources::reportAbsence(const std::string& path, std::string& last,
                                    const std::string& reason) {
    if (last != reason && report_) {
        report_("slidevane3: registry file " + path + " ignored: " + reason);
    }
    last = reason;
}

void RegistrySources::reportOnce(const std::string& path, const Identity& identity,
                                 const std::string& reason) {
    const std::string key = path + '\n' + std::to_string(identity.device) + ':' +
                            std::to_string(identity.inode) + ':' + std::to_string(identity.size) +
                            ':' + std::to_string(identity.seconds) + '.' +
                            std::to_string(identity.nanoseconds);
    if (reported_.insert(key).second && report_) {
        report_("slidevane3: registry file " + path + " ignored: " + reason);
    }
}

} // namespace slidevane
