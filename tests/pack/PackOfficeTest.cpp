// slidevane3-pack against its own private office: templates the office cannot open are each
// named with the reason and nothing is written; an earlier pack is replaced only whole, and only
// if it is still the folder that was checked; what a killed run left is removed by the next;
// and an interrupted run ends its office and leaves nothing behind. Each test is one run of the
// program, which starts and ends an office of its own.
#include "BuildFolder.h"
#include "PackRegistryFile.h"
#include "PackScene.h"
#include "PrivateOffice.h"
#include "ScratchFolder.h"
#include "TemplateFixtures.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

testing::TemplateFixtures Fixtures() {
    char const* office = std::getenv("SLIDEVANE3_TEST_OFFICE");
    return testing::TemplateFixtures::In(fs::path(office != nullptr ? office : "") / "templates");
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void ExpectNamed(const std::string& err, const fs::path& file, const std::string& why) {
    std::string const line =
        "slidevane3-pack: " + file.string() + ": cannot be opened as a presentation: " + why;
    EXPECT_NE(err.find(line), std::string::npos) << "expected: " << line << "\ngot:\n" << err;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
    auto const deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// Starts the program on two categories of two templates each, in four formats.
void StartOnFourTemplates(PackScene& scene, std::vector<std::string> options = {}) {
    testing::TemplateFixtures const made = Fixtures();
    scene.Put("One", "a.otp", made.odfTemplate);
    scene.Put("One", "b.pot", made.powerPoint97);
    scene.Put("Two", "c.potx", made.powerPoint2007);
    scene.Put("Two", "d.pptx", made.powerPoint2007Presentation);
    options.push_back(scene.Source().string());
    options.push_back(scene.Dest().string());
    scene.Start(options);
}

// What a run killed while building leaves: its build folder beside DEST and its scratch folder
// in the scene's TMPDIR.
void LeaveWhatAKilledRunLeaves(const PackScene& scene) {
    pid_t const pid = fork();
    if (pid == 0) {
        try {
            setenv("TMPDIR", scene.Temp().c_str(), 1);
            BuildFolder const build(scene.Dest());
            fs::create_directories(build.Pack() / "UI");
            ScratchFolder const scratch;
            fs::create_directories(scratch.Path() / "office");
            kill(getpid(), SIGKILL);
        } catch (...) {
        }
        _exit(1);
    }
    waitpid(pid, nullptr, 0);
}

TEST(PackWithOffice, TemplatesTheOfficeCannotOpenAreEachNamedAndNothingIsWritten) {
    testing::TemplateFixtures const made = Fixtures();
    ASSERT_TRUE(fs::exists(made.odfTemplate)) << "no shared test office templates";
    PackScene scene;
    fs::path const garbage = scene.Put("Bad One", "garbage.pot", made.garbage);
    fs::path const locked = scene.Put("Bad One", "locked.otp", made.passwordProtected);
    fs::path const half = scene.Put("Bad One", "half.otp", made.truncatedOdf);
    fs::path const empty = scene.Put("Bad Two", "empty.potx", made.emptyFile);
    fs::path const folder = scene.Category("Bad Two") / "folder.otp";
    fs::create_directories(folder);
    fs::path const pipe = scene.Category("Bad Two") / "pipe.pot";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::path const letter = scene.Put("Mixed", "letter.otp", made.textDocument);
    scene.Put("Mixed", "good.otp", made.odfTemplate);

    PackScene::Outcome const outcome = scene.Run({scene.Source().string(), scene.Dest().string()});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    ExpectNamed(outcome.err, locked, "it is protected by a password");
    ExpectNamed(outcome.err, empty, "it is empty");
    ExpectNamed(outcome.err, folder, "it is not a regular file (a folder)");
    ExpectNamed(outcome.err, pipe, "it is not a regular file (a FIFO)");
    // What the office makes of these depends on its own detection; each is named with a reason.
    for (const fs::path& damaged : {garbage, half, letter}) {
        EXPECT_NE(outcome.err.find(damaged.string() + ": cannot be opened as a presentation: "),
                  std::string::npos)
            << damaged << " not named in:\n"
            << outcome.err;
    }
    EXPECT_NE(outcome.out.find("[8/8] Mixed/letter.otp\n"), std::string::npos)
        << "every template is tried: " << outcome.out;
    EXPECT_NE(outcome.err.find("slidevane3-pack: nothing was written\n"), std::string::npos);
    EXPECT_TRUE(scene.NothingWritten());
    EXPECT_FALSE(fs::exists(scene.DefaultRegistry()));
}

TEST(PackWithOffice, ForceReplacesAnEarlierPackAndItsRecordWhole) {
    testing::TemplateFixtures const made = Fixtures();
    PackScene scene;
    scene.Put("Fresh", "design.otp", made.odfTemplate);
    // The earlier pack at DEST, recorded in the default place.
    fs::create_directories(scene.Dest() / "UI");
    fs::create_directories(scene.Dest() / "TEMPLATE");
    std::ofstream(scene.Dest() / "UI" / "b_Old-a.gif") << "earlier";
    std::ofstream(scene.Dest() / "TEMPLATE" / "0-3.pot") << "earlier";
    fs::create_directories(scene.DefaultRegistry().parent_path());
    PackPlan earlier;
    earlier.categories.push_back({0, "Old", "", {{3, "", "0-3.pot"}}});
    PackRegistryFile::Write(scene.DefaultRegistry(),
                            PackRegistryFile::Text("/somewhere/else", earlier));
    // An earlier run was killed; the user keeps a folder of a look-alike name.
    LeaveWhatAKilledRunLeaves(scene);
    std::vector<std::string> const left = PackScene::Listing(scene.Out());
    ASSERT_EQ(left.size(), 2u);
    ASSERT_EQ(PackScene::Listing(scene.Temp()).size(), 1u);
    fs::create_directories(scene.Out() / ".pack.pack-backup");

    PackScene::Outcome const outcome =
        scene.Run({"--force", scene.Source().string(), scene.Dest().string()});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    std::string const removed = "slidevane3-pack: note: removed " +
                                (scene.Out() / left[0]).string() +
                                ", left by an earlier run that was killed\n";
    EXPECT_NE(outcome.err.find(removed), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.out.find("[1/1] Fresh/design.otp\n"), std::string::npos) << outcome.out;
    EXPECT_FALSE(fs::exists(scene.Dest() / "UI" / "b_Old-a.gif"));
    EXPECT_FALSE(fs::exists(scene.Dest() / "TEMPLATE" / "0-3.pot"));
    EXPECT_TRUE(fs::exists(scene.Dest() / "UI" / "b_Fresh-c.gif"));
    EXPECT_EQ(ReadAll(scene.Dest() / "TEMPLATE" / "0-1.otp"), ReadAll(made.odfTemplate));
    std::string const record = ReadAll(scene.DefaultRegistry());
    EXPECT_NE(record.find("\"0\"=\"Fresh\""), std::string::npos);
    EXPECT_EQ(record.find("Old"), std::string::npos);
    EXPECT_EQ(PackRegistryFile::RecordedFolder(scene.DefaultRegistry()), scene.Dest().string());
    // Only the pack and the user's folder: the earlier pack and the build folders, this run's
    // and the killed run's, are gone from beside it, and the killed run's scratch folder too.
    EXPECT_EQ(PackScene::Listing(scene.Out()),
              (std::vector<std::string>{".pack.pack-backup", "pack"}));
    EXPECT_TRUE(PackScene::Listing(scene.Temp()).empty());
    EXPECT_TRUE(scene.ProcessesOfTheRun().empty());
}

TEST(PackWithOffice, ADestReplacedWhileThePackIsMadeIsLeftAloneAndNothingIsWritten) {
    PackScene scene;
    fs::create_directories(scene.Dest() / "TEMPLATE");
    fs::create_directories(scene.Dest() / "UI");
    std::ofstream(scene.Dest() / "UI" / "b_Old-a.gif") << "earlier";
    StartOnFourTemplates(scene, {"--force"});
    // DEST was checked before the office started; the user moves it away and makes another.
    ASSERT_TRUE(
        WaitFor([&] { return scene.OutputSoFar().find("[1/4]") != std::string::npos; }, 180s));
    fs::path const moved = scene.Out() / "moved";
    fs::rename(scene.Dest(), moved);
    fs::create_directories(scene.Dest() / "UI");
    std::ofstream(scene.Dest() / "UI" / "b_Theirs-a.gif") << "theirs";

    PackScene::Outcome const outcome = scene.Wait();
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_NE(outcome.err.find("slidevane3-pack: " + scene.Dest().string() +
                               ": changed while the pack was being made; not replaced; nothing "
                               "was written\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(PackScene::Listing(scene.Dest() / "UI"), std::vector<std::string>{"b_Theirs-a.gif"});
    EXPECT_EQ(ReadAll(moved / "UI" / "b_Old-a.gif"), "earlier");
    EXPECT_TRUE(scene.NothingWritten({"moved", "pack"}));
}

TEST(PackWithOffice, AnOfficeThatDiesMidwayIsReportedAndNothingIsWritten) {
    PackScene scene;
    StartOnFourTemplates(scene);
    pid_t const pid = scene.Pid();
    ASSERT_TRUE(
        WaitFor([&] { return scene.OutputSoFar().find("[2/4]") != std::string::npos; }, 180s));
    for (pid_t const office : scene.ProcessesOfTheRun()) {
        kill(office, SIGKILL);
    }
    PackScene::Outcome const outcome = scene.Wait(60s);
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_NE(outcome.err.find(": the office failed while reading it (the connection to the "
                               "office was lost); nothing was written\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(outcome.out.find("[4/4]"), std::string::npos) << "it went on without its office";
    EXPECT_TRUE(scene.NothingWritten());
    EXPECT_TRUE(PackScene::PipesLeftBy(pid).empty()) << PackScene::PipesLeftBy(pid)[0];
}

TEST(PackWithOffice, ARunKilledOutrightTakesItsOfficeAlong) {
    PackScene scene;
    StartOnFourTemplates(scene);
    pid_t const pid = scene.Pid();
    ASSERT_TRUE(
        WaitFor([&] { return scene.OutputSoFar().find("[1/4]") != std::string::npos; }, 180s));
    std::vector<pid_t> const offices = scene.ProcessesOfTheRun();
    ASSERT_FALSE(offices.empty());
    kill(pid, SIGKILL);
    EXPECT_EQ(scene.Wait(60s).signal, SIGKILL);
    if (!WaitFor([&] { return scene.ProcessesOfTheRun().empty(); }, 20s)) {
        ADD_FAILURE() << "the office outlived the program";
        for (pid_t const office : offices) {
            kill(office, SIGKILL); // the test started it, through the program
        }
    }
    // A kill leaves no time to tidy up: the scene goes with the test, and the pipes the office
    // left are removed here.
    for (const fs::directory_entry& folder : fs::directory_iterator(scene.Temp())) {
        std::string const profilePipe =
            PrivateOffice::PipeFiles("", folder.path() / "office" / "profile").back();
        unlink(profilePipe.c_str());
    }
    for (const std::string& file : PackScene::PipesLeftBy(pid)) {
        unlink(file.c_str());
    }
}

// Interrupted at `moment` with `signal`: the program ends by that signal, its office goes with
// it, and nothing of the run is left.
void ExpectCleanInterruption(int signal, bool duringRendering) {
    PackScene scene;
    StartOnFourTemplates(scene);
    pid_t const pid = scene.Pid();
    if (duringRendering) {
        ASSERT_TRUE(
            WaitFor([&] { return scene.OutputSoFar().find("[1/4]") != std::string::npos; }, 180s))
            << "no template was started";
    } else {
        // The office is started once the build folder is made; interrupt while it starts.
        ASSERT_TRUE(WaitFor([&] { return !scene.ProcessesOfTheRun().empty(); }, 60s))
            << "no office was started";
    }
    kill(pid, signal);
    PackScene::Outcome const outcome = scene.Wait(60s);
    EXPECT_EQ(outcome.signal, signal) << "exit code " << outcome.exitCode << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find("slidevane3-pack: interrupted; nothing was written\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(outcome.out.find("[4/4]"), std::string::npos) << "it ran to the end: " << outcome.out;
    EXPECT_TRUE(scene.NothingWritten());
    EXPECT_TRUE(PackScene::PipesLeftBy(pid).empty()) << PackScene::PipesLeftBy(pid)[0];
}

TEST(PackWithOffice, CtrlCWhileTheOfficeStartsEndsItAndLeavesNothing) {
    ExpectCleanInterruption(SIGINT, false);
}

TEST(PackWithOffice, TerminationWhileRenderingEndsTheOfficeAndLeavesNothing) {
    ExpectCleanInterruption(SIGTERM, true);
}

} // namespace
} // namespace slidevane::test
