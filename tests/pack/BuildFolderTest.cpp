// Putting a finished pack in place, without an office: a run killed at any step of it leaves the
// earlier pack or the new one at DEST, never neither; a later run removes what a killed run
// left, and only that; and a DEST that changed since it was checked is left as it is.
#include "BuildFolder.h"

#include "PackRegistryFile.h"
#include "PackScene.h"
#include "RenameFault.h"
#include "ScratchFolder.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A pack whose pictures say which one it is.
void MakePack(const fs::path& folder, const std::string& which) {
    fs::create_directories(folder / "UI");
    fs::create_directories(folder / "TEMPLATE");
    std::ofstream(folder / "UI" / (which + ".gif")) << which;
}

// Which pack is at `folder`: its pictures' names, or "nothing".
std::string Which(const fs::path& folder) {
    if (!fs::exists(fs::symlink_status(folder))) {
        return "nothing";
    }
    std::string names;
    for (const std::string& name : PackScene::Listing(folder / "UI")) {
        names += (names.empty() ? "" : " ") + name;
    }
    return names;
}

// Runs `body` in a child process; its wait status.
int InChild(const std::function<void()>& body) {
    pid_t const pid = fork();
    if (pid == 0) {
        try {
            body();
        } catch (...) {
            _exit(3);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

class PuttingThePackInPlace : public ::testing::Test {
protected:
    fs::path Dest() const { return scene.Dest(); }
    fs::path Registry() const { return scene.Data() / "pack.reg"; }

    PackScene scene;
};

TEST_F(PuttingThePackInPlace, AKillAtAnyStepLeavesTheEarlierPackOrTheNewOne) {
    for (bool const earlier : {true, false}) {
        bool finished = false;
        for (int step = 1; !finished && step < 10; ++step) {
            SCOPED_TRACE((earlier ? "replacing, killed after rename " : "killed after rename ") +
                         std::to_string(step));
            fs::remove_all(scene.Out());
            fs::remove_all(scene.Data());
            fs::create_directories(scene.Out());
            fs::create_directories(scene.Data());
            if (earlier) {
                MakePack(Dest(), "old");
            }
            PackDestination const checked = PackDestination::Examine(Dest());
            int const status = InChild([&] {
                BuildFolder build(Dest());
                MakePack(build.Pack(), "new");
                RenameFault::KillAfter(step);
                build.Commit(checked,
                             [&] { PackRegistryFile::Write(Registry(), "the new pack's record"); });
            });
            finished = WIFEXITED(status);
            if (finished) {
                ASSERT_EQ(WEXITSTATUS(status), 0);
                EXPECT_EQ(Which(Dest()), "new.gif");
                EXPECT_EQ(ReadAll(Registry()), "the new pack's record");
            } else {
                ASSERT_EQ(WTERMSIG(status), SIGKILL);
                std::string const found = Which(Dest());
                EXPECT_TRUE(found == (earlier ? "old.gif" : "nothing") || found == "new.gif")
                    << "DEST holds " << found;
            }
            // The next run tidies up after the killed one: beside DEST there is nothing else.
            BuildFolder::RemoveAbandoned(Dest());
            EXPECT_EQ(PackScene::Listing(scene.Out()), fs::exists(Dest())
                                                           ? std::vector<std::string>{"pack"}
                                                           : std::vector<std::string>{});
        }
        EXPECT_TRUE(finished) << "the commit never ended";
    }
}

TEST_F(PuttingThePackInPlace, ALaterRunRemovesWhatKilledRunsLeftAndNothingElse) {
    struct ScratchInTheScene {
        std::string saved;
        explicit ScratchInTheScene(const fs::path& temp) {
            char const* before = std::getenv("TMPDIR");
            saved = before != nullptr ? before : "";
            setenv("TMPDIR", temp.c_str(), 1);
        }
        ~ScratchInTheScene() {
            if (saved.empty()) {
                unsetenv("TMPDIR");
            } else {
                setenv("TMPDIR", saved.c_str(), 1);
            }
        }
    } const scratchHere(scene.Temp());
    // Runs killed while building, for DEST and for another one beside it, and their scratch.
    for (const fs::path& dest : {Dest(), scene.Out() / "other"}) {
        InChild([&] {
            BuildFolder const build(dest);
            ScratchFolder const scratch;
            kill(getpid(), SIGKILL);
        });
    }
    std::vector<std::string> const killed = PackScene::Listing(scene.Out()); // other's, DEST's
    // A run still going, which holds its folders until told to end.
    int toLive[2];
    int fromLive[2];
    ASSERT_EQ(pipe(toLive), 0);
    ASSERT_EQ(pipe(fromLive), 0);
    pid_t const live = fork();
    if (live == 0) {
        close(toLive[1]);
        {
            BuildFolder const build(Dest());
            ScratchFolder const scratch;
            char byte = 'r';
            (void)!write(fromLive[1], &byte, 1);
            (void)!read(toLive[0], &byte, 1);
        }
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(fromLive[0], &byte, 1), 1);
    // What only looks like a run's: the user's own folder and a link by such names, and a
    // folder in $TMPDIR without a run's claim.
    fs::create_directories(scene.Out() / ".pack.pack-backup" / "UI");
    fs::create_directory_symlink(scene.Out() / killed[0], scene.Out() / ".pack.pack-linked");
    fs::create_directories(scene.Temp() / "slidevane3-pack-mine12");

    EXPECT_EQ(BuildFolder::RemoveAbandoned(Dest()), std::vector<fs::path>{scene.Out() / killed[1]});
    EXPECT_EQ(ScratchFolder::RemoveAbandoned().size(), 2u);
    EXPECT_EQ(PackScene::Listing(scene.Out()).size(), 4u) << "the live run's folder went";
    EXPECT_EQ(PackScene::Listing(scene.Temp()).size(), 2u) << "the live run's scratch went";

    // The live run ends as usual and takes its folders along.
    close(toLive[1]);
    int status = 0;
    waitpid(live, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(PackScene::Listing(scene.Out()),
              (std::vector<std::string>{killed[0], ".pack.pack-backup", ".pack.pack-linked"}));
    EXPECT_EQ(PackScene::Listing(scene.Temp()), std::vector<std::string>{"slidevane3-pack-mine12"});
    for (int fd : {toLive[0], fromLive[0], fromLive[1]}) {
        close(fd);
    }
}

// DEST is looked at when the run starts and replaced minutes later: what took its place
// meanwhile is left as it is, and the registry file is not written.
TEST_F(PuttingThePackInPlace, ADestThatChangedSinceItWasCheckedIsLeftAlone) {
    struct Case {
        const char* name;
        bool earlier;                      // a pack at DEST when it is checked
        std::function<void()> change;      // what happens to DEST meanwhile
        std::vector<std::string> expected; // then in the folder of DEST
        std::string at;                    // what DEST holds at the end
    };
    fs::path const moved = scene.Out() / "moved";
    std::vector<Case> const cases = {
        {"another pack in its place",
         true,
         [&] {
             fs::rename(Dest(), moved);
             MakePack(Dest(), "theirs");
         },
         {"moved", "pack"},
         "theirs.gif"},
        {"a file no pack holds added",
         true,
         [&] { std::ofstream(Dest() / "thesis.odt") << "precious"; },
         {"pack"},
         "old.gif"},
        {"removed", true, [&] { fs::remove_all(Dest()); }, {}, "nothing"},
        {"a link in its place",
         true,
         [&] {
             fs::rename(Dest(), moved);
             fs::create_directory_symlink(moved, Dest());
         },
         {"moved", "pack"},
         "old.gif"},
        {"made meanwhile", false, [&] { MakePack(Dest(), "theirs"); }, {"pack"}, "theirs.gif"},
    };
    // Changed before the last look, or after it, right before the pack goes in.
    for (bool const lastMoment : {false, true}) {
        for (const Case& each : cases) {
            SCOPED_TRACE(std::string(each.name) + (lastMoment ? ", at the last moment" : ""));
            fs::remove_all(scene.Out());
            fs::create_directories(scene.Out());
            if (each.earlier) {
                MakePack(Dest(), "old");
            }
            PackDestination const checked = PackDestination::Examine(Dest());
            bool recorded = false;
            {
                BuildFolder build(Dest());
                MakePack(build.Pack(), "new");
                if (lastMoment) {
                    RenameFault::Before(1, each.change);
                } else {
                    each.change();
                }
                try {
                    build.Commit(checked, [&] { recorded = true; });
                    ADD_FAILURE() << "replaced";
                } catch (const std::runtime_error& refused) {
                    EXPECT_EQ(std::string(refused.what()),
                              Dest().string() +
                                  ": changed while the pack was being made; not replaced");
                }
                RenameFault::Disarm();
            }
            EXPECT_FALSE(recorded);
            EXPECT_EQ(PackScene::Listing(scene.Out()), each.expected);
            EXPECT_EQ(Which(Dest()), each.at);
        }
    }
}

} // namespace
} // namespace slidevane::test
