#pragma once

#include <filesystem>
#include <string>

// The program as the README's install puts it on a machine: this build tree installed with
// `cmake --install` into a scratch root (DESTDIR), with the sample pack's registry file copied
// so that it names the pack where the scratch root holds it.
//
// Owns: the scratch root and everything in it, removed when the object ends.
namespace slidevane::test {

class InstalledProgram {
public:
    // Installs `buildTree`; throws std::runtime_error when the install fails.
    explicit InstalledProgram(const std::filesystem::path& buildTree);
    ~InstalledProgram();
    InstalledProgram(const InstalledProgram&) = delete;
    InstalledProgram& operator=(const InstalledProgram&) = delete;

    std::filesystem::path Program() const { return root_ / "usr/bin/slidevane3"; }
    std::filesystem::path SamplePack() const { return root_ / "usr/share/slidevane3/sample-pack"; }
    // The installed registry file, rewritten to name the pack in the scratch root.
    std::filesystem::path RegistryFile() const { return root_ / "sample-pack.reg"; }
    std::filesystem::path Template(const std::string& name) const {
        return SamplePack() / "TEMPLATE" / name;
    }

private:
    std::filesystem::path root_;
};

} // namespace slidevane::test
