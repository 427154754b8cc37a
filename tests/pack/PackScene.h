#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// slidevane3-pack run as a program in a scene of its own: a temporary folder with the source
// folder, the folder that is to hold DEST, and a private TMPDIR, HOME and XDG data home for the
// run (so its default registry file lands inside the scene), all removed when the scene ends.
// Its output goes to files of the scene, so a test can watch it while the program runs.
//
// Owns: the scene's folders and the program's process while it runs. It does not own the
// templates it copies in.
namespace slidevane::test {

class PackScene {
public:
    struct Outcome {
        int exitCode = -1; // when it exited
        int signal = 0;    // when a signal ended it
        std::string out;   // standard output
        std::string err;   // standard error
        double seconds = 0;
    };

    PackScene();
    explicit PackScene(std::filesystem::path root); // kept: the caller removes it
    ~PackScene();
    PackScene(const PackScene&) = delete;
    PackScene& operator=(const PackScene&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path Source() const { return root_ / "source"; }
    std::filesystem::path Out() const { return root_ / "out"; }
    std::filesystem::path Dest() const { return Out() / "pack"; }
    // Where the program writes the registry file when it is not told where.
    std::filesystem::path DefaultRegistry() const;
    std::filesystem::path Temp() const { return root_ / "tmp"; }
    std::filesystem::path Home() const { return root_ / "home"; }
    std::filesystem::path Data() const { return root_ / "data"; }

    // A category folder of the source, made when missing.
    std::filesystem::path Category(const std::string& title) const;
    // Copies `from` into the category as `name`.
    std::filesystem::path Put(const std::string& title, const std::string& name,
                              const std::filesystem::path& from) const;
    // A file that only looks like a template by its name: nothing opens it.
    std::filesystem::path Dummy(const std::string& title, const std::string& name) const;

    // What the program is given of this process's environment: PATH, the display, the locale
    // and the XDG variables but the scene's own places, as NAME=value. HOME, TMPDIR and
    // XDG_DATA_HOME are the scene's.
    static std::vector<std::string> Environment();
    // Runs the program with `arguments` to its end (killed after `timeout`).
    Outcome Run(const std::vector<std::string>& arguments,
                std::chrono::seconds timeout = std::chrono::seconds(300));
    // Starts it and returns at once; Wait() collects it.
    void Start(const std::vector<std::string>& arguments);
    pid_t Pid() const { return pid_; }
    // Standard output so far.
    std::string OutputSoFar() const;
    Outcome Wait(std::chrono::seconds timeout = std::chrono::seconds(300));

    // Fails when the run left anything: DEST or a temporary folder beside it, the registry file,
    // anything in the scene's TMPDIR, HOME or data home. `keptInOut` is what Out() held before.
    ::testing::AssertionResult NothingWritten(const std::vector<std::string>& keptInOut = {}) const;
    // Processes whose command line names the scene's TMPDIR: the office of a run, if any is left.
    std::vector<pid_t> ProcessesOfTheRun() const;
    // Pipe files of the office of the run whose process id is `pid` left in the system's
    // temporary folder.
    static std::vector<std::string> PipesLeftBy(pid_t pid);

    // The names in a folder, sorted; empty when it does not exist.
    static std::vector<std::string> Listing(const std::filesystem::path& folder);

private:
    void MakeFolders() const;

    std::filesystem::path root_;
    bool owned_ = true;
    pid_t pid_ = -1;
    std::chrono::steady_clock::time_point started_;
};

} // namespace slidevane::test
