#pragma once

#include "adapters/posix/RegistryTree.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace slidevane {

// The registry files the store reads, kept parsed in memory and kept current: a refresh looks
// at each file's identity (device, inode, size, modification time to the nanosecond) and each
// folder's, and re-parses only a file whose identity changed. A folder stands for its *.reg
// files in name order. A file that cannot be read or is in neither format contributes nothing
// and is reported once for that identity of the file; a path someone named that is missing is
// reported once until it comes back.
//
// Owns: the search list, the file identities, the parsed trees, the report of bad files.
// Does not own: the meaning of the trees (layering and lookups are the store's).
class RegistrySources {
public:
    using Layers = std::vector<std::shared_ptr<const RegistryTree>>;
    using Report = std::function<void(const std::string&)>;
    // The most that is read of one file, whatever its size says (a file under /proc says 0):
    // a hive of a real prefix is tens of megabytes, and its tree costs about its size, so this
    // bounds what one registry file can make the program hold. Larger files are refused.
    static constexpr std::uint64_t kMaxFileSize = 256ull << 20;

    // One place on the search list: a file, or a folder of *.reg files.
    struct SearchPath {
        std::filesystem::path path;
        // A default place, which need not exist: its absence is not reported. A path someone
        // named must be there.
        bool optional = false;
        bool operator==(const SearchPath&) const = default;
    };

    RegistrySources(std::vector<SearchPath> entries, Report report);

    // Brings the trees up to date with the files; the result lists them earliest first.
    std::shared_ptr<const Layers> refresh();
    std::shared_ptr<const Layers> current() const { return layers_; }
    // How many times a file has been read and parsed since construction.
    std::size_t parseCount() const { return parseCount_; }

private:
    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t seconds = 0;
        std::int64_t nanoseconds = 0;
        bool operator==(const Identity&) const = default;
    };
    struct File {
        std::string path;
        std::optional<Identity> identity;
        std::shared_ptr<const RegistryTree> tree;
        std::string absence; // why it could not be found, as last reported
    };
    struct Entry {
        std::string path;
        bool optional = false;
        std::optional<Identity> folderIdentity;
        std::vector<File> files;
        std::string absence;
    };

    bool refreshEntry(Entry& entry);
    bool relistFolder(Entry& entry);
    bool refreshFile(File& file);
    void load(File& file);
    void reportOnce(const std::string& path, const Identity& identity, const std::string& reason);
    void reportAbsence(const std::string& path, std::string& last, const std::string& reason);

    std::vector<Entry> entries_;
    Report report_;
    std::set<std::string> reported_;
    std::shared_ptr<const Layers> layers_;
    std::size_t parseCount_ = 0;
};

} // namespace slidevane
