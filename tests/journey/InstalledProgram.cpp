#include "InstalledProgram.h"

#include "UserProgram.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace slidevane::test {

namespace fs = std::filesystem;

InstalledProgram::InstalledProgram(const fs::path& buildTree) {
    std::string pattern = (fs::temp_directory_path() / "slidevane3-installed-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch root");
    }
    root_ = pattern;
    UserProgram::Result const install = UserProgram::Run(
        {SLIDEVANE3_CMAKE, "--install", buildTree.string()},
        UserEnvironment::FromSession().Set("DESTDIR", root_.string()), std::chrono::seconds(120));
    fs::path const installed = root_ / "usr/share/slidevane3/registry.d/sample-pack.reg";
    if (!install.outcome.Succeeded() || !fs::exists(Program()) || !fs::exists(installed)) {
        throw std::runtime_error("the install did not give the program and the sample pack: " +
                                 install.outcome.Describe() + "\n" + install.errors);
    }
    std::ifstream in(installed, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string const from = "/usr/share/slidevane3/sample-pack";
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + SamplePack().string().size())) {
        text.replace(at, from.size(), SamplePack().string());
    }
    std::ofstream(RegistryFile(), std::ios::binary) << text;
}

InstalledProgram::~InstalledProgram() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

} // namespace slidevane::test
