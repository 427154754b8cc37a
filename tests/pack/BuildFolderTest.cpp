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
#include <set>
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
    std::string const savedTemp = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", scene.Temp().c_str(), 1);
    fs::path const other = scene.Out() / "other";
    fs::path const elsewhere = scene.Root() / "elsewhere";
    fs::create_directories(elsewhere);
    // Runs killed while building, for this DEST, for another one beside it and for one
    // elsewhere, each with its scratch folder.
    for (const fs::path& dest : {Dest(), Dest(), other, elsewhere / "pack"}) {
        InChild([&] {
            BuildFolder build(dest);
            MakePack(build.Pack(), "new");
            ScratchFolder const scratch;
            std::ofstream(scratch.Path() / "slide-1.png") << "rendered";
            kill(getpid(), SIGKILL);
        });
    }
    std::vector<std::string> const killed = PackScene::Listing(scene.Out());
    ASSERT_EQ(killed.size(), 3u); // two of DEST and one of the other DEST
    // A run still going: its folders are claimed.
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
            (void)!write(fromLive[1], "r", 1);
            char byte = 0;
            (void)!read(toLive[0], &byte, 1);
        }
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(fromLive[0], &byte, 1), 1);
    // What only looks like a run's: the user's own folder, file and link by those names, a
    // folder without the run's claim in $TMPDIR.
    fs::create_directories(scene.Out() / ".pack.pack-backup" / "UI");
    std::ofstream(scene.Out() / ".pack.pack-Notes1") << "mine";
    fs::path const abandonedElsewhere = elsewhere / PackScene::Listing(elsewhere).front();
    fs::create_directory_symlink(abandonedElsewhere, scene.Out() / ".pack.pack-linked");
    fs::create_directories(scene.Temp() / "slidevane3-pack-mine12");
    std::vector<std::string> const before = PackScene::Listing(scene.Out());
    std::vector<std::string> const tempBefore = PackScene::Listing(scene.Temp());
    ASSERT_EQ(tempBefore.size(), 6u);

    std::vector<fs::path> const removed = BuildFolder::RemoveAbandoned(Dest());
    std::vector<fs::path> const scratches = ScratchFolder::RemoveAbandoned();

    std::set<std::string> gone;
    for (const fs::path& folder : removed) {
        EXPECT_EQ(folder.parent_path(), scene.Out());
        gone.insert(folder.filename().string());
    }
    EXPECT_EQ(gone.size(), 2u);
    for (const std::string& name : before) {
        bool const ofAKilledRunOfDest =
            name.rfind(".pack.pack-", 0) == 0 && name.size() == 17 &&
            std::find(killed.begin(), killed.end(), name) != killed.end();
        EXPECT_EQ(fs::exists(fs::symlink_status(scene.Out() / name)), !ofAKilledRunOfDest) << name;
        EXPECT_EQ(gone.count(name), ofAKilledRunOfDest ? 1u : 0u) << name;
    }
    EXPECT_EQ(scratches.size(), 4u);
    std::vector<std::string> const tempAfter = PackScene::Listing(scene.Temp());
    EXPECT_EQ(tempAfter.size(), 2u); // the live run's and the user's own
    EXPECT_NE(std::find(tempAfter.begin(), tempAfter.end(), "slidevane3-pack-mine12"),
              tempAfter.end());
    EXPECT_TRUE(fs::exists(abandonedElsewhere)) << "removed through a link";
    EXPECT_EQ(Which(scene.Out() / ".pack.pack-backup"), "");

    // The live run ends as usual and takes its folders along.
    close(toLive[1]);
    int status = 0;
    waitpid(live, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(PackScene::Listing(scene.Temp()), std::vector<std::string>{"slidevane3-pack-mine12"});
    EXPECT_EQ(PackScene::Listing(scene.Out()).size(), before.size() - 3);
    for (int fd : {toLive[0], fromLive[0], fromLive[1]}) {
        close(fd);
    }
    if (savedTemp.empty()) {
        unsetenv("TMPDIR");
    } else {
        setenv("TMPDIR", savedTemp.c_str(), 1);
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
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
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
            each.change();
            try {
                build.Commit(checked, [&] { recorded = true; });
                ADD_FAILURE() << "replaced";
            } catch (const std::runtime_error& refused) {
                EXPECT_EQ(std::string(refused.what()),
                          Dest().string() +
                              ": changed while the pack was being made; not replaced");
            }
        }
        EXPECT_FALSE(recorded);
        EXPECT_EQ(PackScene::Listing(scene.Out()), each.expected);
        EXPECT_EQ(Which(Dest()), each.at);
    }
}

TEST_F(PuttingThePackInPlace, APackPutInPlaceOfDestAtTheLastMomentGoesBack) {
    MakePack(Dest(), "old");
    PackDestination const checked = PackDestination::Examine(Dest());
    fs::path const moved = scene.Out() / "moved";
    bool recorded = false;
    {
        BuildFolder build(Dest());
        MakePack(build.Pack(), "new");
        // After the last look, right before the pack goes in.
        RenameFault::Before(1, [&] {
            fs::rename(Dest(), moved);
            MakePack(Dest(), "theirs");
        });
        EXPECT_THROW(build.Commit(checked, [&] { recorded = true; }), std::runtime_error);
        RenameFault::Disarm();
    }
    EXPECT_FALSE(recorded);
    EXPECT_EQ(Which(Dest()), "theirs.gif");
    EXPECT_EQ(Which(moved), "old.gif");
    EXPECT_EQ(PackScene::Listing(scene.Out()), (std::vector<std::string>{"moved", "pack"}));
}

} // namespace
} // namespace slidevane::test
