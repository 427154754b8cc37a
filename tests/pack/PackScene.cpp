#include "PackScene.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

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
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
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

std::vector<std::string> PackScene::Environment() {
    // Only what a user's session gives every program; not the places that would let a write go
    // elsewhere unnoticed (the scene gives its own), nor anything the test process itself was
    // given.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string const variable = *entry;
        std::string const name = variable.substr(0, variable.find('='));
        bool const allowed = name == "PATH" || name == "DISPLAY" || name == "XAUTHORITY" ||
                             name == "LANG" || name.rfind("LC_", 0) == 0 ||
                             name.rfind("XDG_", 0) == 0;
        bool const scenes = name == "XDG_DATA_HOME" || name == "XDG_CONFIG_HOME" ||
                            name == "XDG_CACHE_HOME" || name == "XDG_RUNTIME_DIR";
        if (allowed && !scenes) {
            environment.push_back(variable);
        }
    }
    return environment;
}

void PackScene::Start(const std::vector<std::string>& arguments) {
    std::vector<std::string> environment = Environment();
    environment.push_back("TMPDIR=" + Temp().string());
    environment.push_back("HOME=" + Home().string());
    environment.push_back("XDG_DATA_HOME=" + Data().string());
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    std::vector<std::string> line = {SLIDEVANE3_PACK};
    line.insert(line.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : line) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    std::string const out = (root_ / "stdout").string();
    std::string const err = (root_ / "stderr").string();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&files, root_.c_str());
    int const error = posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) {
        pid_ = -1;
        throw std::runtime_error(std::string("cannot start slidevane3-pack: ") +
                                 std::strerror(error));
    }
    started_ = std::chrono::steady_clock::now();
}

std::string PackScene::OutputSoFar() const {
    return ReadAll(root_ / "stdout");
}

PackScene::Outcome PackScene::Wait(std::chrono::seconds timeout) {
    Outcome outcome;
    int status = 0;
    auto const deadline = started_ + timeout;
    bool ended = false;
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        ended = waitpid(pid_, &status, WNOHANG) == pid_;
        if (!ended) {
            std::this_thread::sleep_for(20ms);
        }
    }
    if (!ended) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        ADD_FAILURE() << "slidevane3-pack did not end within " << timeout.count() << " s";
    }
    pid_ = -1;
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    if (WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
    outcome.out = ReadAll(root_ / "stdout");
    outcome.err = ReadAll(root_ / "stderr");
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
