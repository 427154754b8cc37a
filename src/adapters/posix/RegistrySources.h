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
// and is reported once for that identity of the file.
//
// Owns: the search list, the file identities, the parsed trees, the report of bad files.
// Does not own: the meaning of the trees (layering and lookups are the store's).
class RegistrySources {
public:
    using Layers = std::vector<std::shared_ptr<const RegistryTree>>;
    using Report = std::function<void(const std::string&)>;
    // Larger files are refused rather than read: a hive of a real prefix is tens of megabytes.
    static constexpr std::uint64_t kMaxFileSize = 512ull << 20;

    RegistrySources(std::vector<std::filesystem::path> entries, Report report);

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
    };
    struct Entry {
        std::string path;
        std::optional<Identity> folderIdentity;
        std::vector<File> files;
    };

    bool refreshEntry(Entry& entry);
    bool relistFolder(Entry& entry);
    bool refreshFile(File& file);
    void load(File& file);
    void reportOnce(const std::string& path, const Identity& identity, const std::string& reason);

    std::vector<Entry> entries_;
    Report report_;
    std::set<std::string> reported_;
    std::shared_ptr<const Layers> layers_;
    std::size_t parseCount_ = 0;
};

} // namespace slidevane
