#include "PackScene.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace slidevane::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

fs::path NewRoot() {
    char const* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/slidevane3-pack-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a scene folder");
    }
    return pattern;
}

} // namespace

PackScene::PackScene() : root_(NewRoot()) {
    MakeFolders();
}

PackScene::PackScene(fs::path root) : root_(std::move(root)), owned_(false) {
    MakeFolders();
}

PackScene::~PackScene() {
    program_.reset();
    if (owned_) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
}

void PackScene::MakeFolders() const {
    for (const fs::path& folder : {Source(), Out(), Temp(), Home(), Data()}) {
        fs::create_directories(folder);
    }
}

fs::path PackScene::DefaultRegistry() const {
    return Data() / "slidevane3" / "registry.d" / (Dest().filename().string() + ".reg");
}

fs::path PackScene::Category(const std::string& title) const {
    fs::path const folder = Source() / title;
    fs::create_directories(folder);
    return folder;
}

fs::path PackScene::Put(const std::string& title, const std::string& name,
                        const fs::path& from) const {
    fs::path const to = Category(title) / name;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    return to;
}

fs::path PackScene::Dummy(const std::string& title, const std::string& name) const {
    fs::path const to = Category(title) / name;
    std::ofstream(to) << "not opened";
    return to;
}

void PackScene::Start(const std::vector<std::string>& arguments) {
    // The run's own temporary folder, home and data home, so that a write elsewhere shows.
    UserEnvironment environment = UserEnvironment::FromSession();
    environment.Set("TMPDIR", Temp().string())
        .Set("HOME", Home().string())
        .Set("XDG_DATA_HOME", Data().string())
        .Unset("XDG_CONFIG_HOME")
        .Unset("XDG_CACHE_HOME")
        .Unset("XDG_RUNTIME_DIR");
    std::vector<std::string> line = {SLIDEVANE3_PACK};
    line.insert(line.end(), arguments.begin(), arguments.end());
    program_ = std::make_unique<UserProgram>(
        line, environment, UserProgram::Options{.workingDirectory = root_, .outputFolder = root_});
    started_ = std::chrono::steady_clock::now();
}

std::string PackScene::OutputSoFar() const {
    return program_ ? program_->Output() : "";
}

PackScene::Outcome PackScene::Wait(std::chrono::seconds timeout) {
    Outcome outcome;
    if (!program_) {
        return outcome;
    }
    UserProgram::Outcome const ended =
        program_->Finish(std::chrono::duration_cast<std::chrono::milliseconds>(
            started_ + timeout - std::chrono::steady_clock::now()));
    if (ended.killed) {
        ADD_FAILURE() << "slidevane3-pack did not end within " << timeout.count() << " s";
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    outcome.exitCode = ended.exited ? ended.code : -1;
    outcome.signal = ended.signal;
    outcome.out = program_->Output();
    outcome.err = program_->Errors();
    program_.reset();
    return outcome;
}

PackScene::Outcome PackScene::Run(const std::vector<std::string>& arguments,
                                  std::chrono::seconds timeout) {
    Start(arguments);
    return Wait(timeout);
}

std::vector<std::string> PackScene::Listing(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

::testing::AssertionResult PackScene::NothingWritten(const std::vector<std::string>& kept) const {
    std::vector<std::string> expected = kept;
    std::sort(expected.begin(), expected.end());
    if (Listing(Out()) != expected) {
        std::string found;
        for (const std::string& name : Listing(Out())) {
            found += " " + name;
        }
        return ::testing::AssertionFailure() << "the folder of DEST holds:" << found;
    }
    for (const fs::path& folder : {Temp(), Home(), Data()}) {
        if (!Listing(folder).empty()) {
            return ::testing::AssertionFailure()
                   << folder << " holds " << Listing(folder).front() << " after the run";
        }
    }
    if (!ProcessesOfTheRun().empty()) {
        return ::testing::AssertionFailure()
               << "process " << ProcessesOfTheRun().front() << " of the run is still there";
    }
    return ::testing::AssertionSuccess();
}

std::vector<pid_t> PackScene::ProcessesOfTheRun() const {
    std::vector<pid_t> found;
    std::string const mark = Temp().string();
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        std::string const name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::string command = ReadAll(entry.path() / "cmdline");
        std::replace(command.begin(), command.end(), '\0', ' ');
        if (command.find(mark) != std::string::npos) {
            found.push_back(std::stoi(name));
        }
    }
    return found;
}

std::vector<std::string> PackScene::PipesLeftBy(pid_t pid) {
    std::vector<std::string> left;
    std::string const mark = "_slidevane3_pack_" + std::to_string(pid) + "_";
    for (const char* folder : {"/tmp", "/var/tmp"}) {
        for (const std::string& name : Listing(folder)) {
            if (name.rfind("OSL_PIPE_", 0) == 0 && name.find(mark) != std::string::npos) {
                left.push_back(std::string(folder) + "/" + name);
            }
        }
    }
    return left;
}

} // namespace slidevane::test
