// slidevane3-pack refusing to make a pack, as a program: each problem of the source, of DEST or
// of the registry file gives its message naming the folder or file, and nothing is written. None
// of these runs needs the office: they are refused before it is started.
#include "PackRegistryFile.h"
#include "PackScene.h"

#include <fstream>
#include <gtest/gtest.h>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class Refused : public ::testing::Test {
protected:
    // Runs with SOURCE and DEST of the scene and the arguments given before them.
    PackScene::Outcome Run(std::vector<std::string> arguments = {}) {
        arguments.push_back(scene.Source().string());
        arguments.push_back(scene.Dest().string());
        return scene.Run(arguments);
    }
    void ExpectRefused(const PackScene::Outcome& outcome, const std::string& message,
                       const std::vector<std::string>& keptInOut = {}) {
        EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
        EXPECT_NE(outcome.err.find("slidevane3-pack: " + message + "\n"), std::string::npos)
            << "expected: " << message << "\ngot:\n"
            << outcome.err;
        EXPECT_NE(outcome.err.find("slidevane3-pack: nothing was written\n"), std::string::npos);
        EXPECT_EQ(outcome.out, "") << "no template was started";
        EXPECT_TRUE(scene.NothingWritten(keptInOut));
        EXPECT_FALSE(fs::exists(scene.DefaultRegistry()));
    }

    PackScene scene;
};

TEST_F(Refused, AWrongCommandLineGivesTheUsage) {
    for (const std::vector<std::string>& line : {std::vector<std::string>{},
                                                 {"only-one"},
                                                 {"a", "b", "c"},
                                                 {"--bogus", "a", "b"},
                                                 {"a", "b", "--registry"}}) {
        PackScene::Outcome const outcome = scene.Run(line);
        EXPECT_EQ(outcome.exitCode, 2) << ::testing::PrintToString(line);
        EXPECT_NE(
            outcome.err.find("Usage: slidevane3-pack [--force] [--registry FILE] SOURCE DEST"),
            std::string::npos);
    }
    PackScene::Outcome const help = scene.Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.find("Usage: slidevane3-pack"), 0u);
    EXPECT_NE(help.out.find("--registry FILE"), std::string::npos);
    EXPECT_TRUE(scene.NothingWritten());
}

TEST_F(Refused, AnEmptySource) {
    ExpectRefused(Run(), scene.Source().string() +
                             ": holds no category folders (one folder per category, with up to "
                             "three templates in each)");
}

TEST_F(Refused, AMissingSource) {
    fs::remove(scene.Source());
    ExpectRefused(Run(), scene.Source().string() + ": no such folder");
}

TEST_F(Refused, MoreThanTenCategories) {
    for (char c = 'A'; c <= 'K'; ++c) {
        scene.Dummy(std::string("Category ") + c, "t.otp");
    }
    ExpectRefused(Run(), scene.Source().string() +
                             ": holds 11 category folders, more than ten (beyond the tenth: "
                             "Category K)");
}

TEST_F(Refused, MoreThanThreeTemplatesInACategory) {
    scene.Dummy("Fine", "t.otp");
    for (const char* name : {"a.otp", "b.pot", "c.potx", "d.pptx"}) {
        scene.Dummy("Crowded", name);
    }
    ExpectRefused(Run(), (scene.Source() / "Crowded").string() +
                             ": holds 4 templates, more than three (a.otp, b.pot, c.potx, d.pptx)");
}

TEST_F(Refused, TitlesThatCannotFormThePicturesFileNames) {
    struct Case {
        std::string title;
        std::string why;
    };
    for (const Case& bad : {Case{"back\\slash", "it holds a backslash"},
                            Case{"bell\x07", "it holds a control character"},
                            Case{std::string(201, 'L'), "it is 201 bytes long, more than 200"},
                            Case{"caf\xE9", "it is not UTF-8 text"}}) {
        PackScene each;
        each.Dummy(bad.title, "t.otp");
        each.Dummy("Good", "t.otp");
        PackScene::Outcome const outcome = each.Run({each.Source().string(), each.Dest().string()});
        EXPECT_EQ(outcome.exitCode, 1);
        std::string const message = "slidevane3-pack: " + (each.Source() / bad.title).string() +
                                    ": the title cannot form the pictures' file names: " + bad.why +
                                    "\n";
        EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
        EXPECT_TRUE(each.NothingWritten());
    }
}

TEST_F(Refused, AnExistingDestWithoutForce) {
    scene.Dummy("Fine", "t.otp");
    fs::create_directories(scene.Dest() / "UI");
    std::ofstream(scene.Dest() / "UI" / "www-1.gif") << "earlier";
    ExpectRefused(Run(), scene.Dest().string() + ": exists; add --force to replace it", {"pack"});
    EXPECT_EQ(ReadAll(scene.Dest() / "UI" / "www-1.gif"), "earlier");
}

TEST_F(Refused, ToReplaceAFolderThatIsNoPackEvenWithForce) {
    scene.Dummy("Fine", "t.otp");
    fs::create_directories(scene.Dest() / "UI");
    std::ofstream(scene.Dest() / "thesis.odt") << "precious";
    ExpectRefused(Run({"--force"}),
                  scene.Dest().string() + ": is not a pack (it holds thesis.odt); not replaced",
                  {"pack"});
    EXPECT_EQ(ReadAll(scene.Dest() / "thesis.odt"), "precious");
    fs::remove_all(scene.Dest());
    std::ofstream(scene.Dest()) << "a file";
    ExpectRefused(Run({"--force"}), scene.Dest().string() + ": is not a folder; not replaced",
                  {"pack"});
}

TEST_F(Refused, ToOverwriteTheRecordOfAnotherPackWithoutForce) {
    scene.Dummy("Fine", "t.otp");
    fs::create_directories(scene.DefaultRegistry().parent_path());
    PackRegistryFile::Write(scene.DefaultRegistry(),
                            PackRegistryFile::Text("/elsewhere/pack", PackPlan{}));
    std::string const before = ReadAll(scene.DefaultRegistry());
    PackScene::Outcome const outcome = Run();
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find(scene.DefaultRegistry().string() +
                               ": records the pack at /elsewhere/pack; add --force to replace "
                               "it, or name another file with --registry"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(ReadAll(scene.DefaultRegistry()), before);
    EXPECT_EQ(PackScene::Listing(scene.Out()), std::vector<std::string>{});
}

TEST_F(Refused, SourceAndDestInsideOneAnother) {
    scene.Dummy("Fine", "t.otp");
    PackScene::Outcome inside =
        scene.Run({scene.Source().string(), (scene.Source() / "pack").string()});
    EXPECT_EQ(inside.exitCode, 1);
    EXPECT_NE(inside.err.find("DEST and SOURCE must lie apart"), std::string::npos) << inside.err;
    EXPECT_FALSE(fs::exists(scene.Source() / "pack"));
    // With --force, a DEST holding the source would be replaced with it.
    fs::path const outer = scene.Root() / "outer";
    fs::create_directories(outer / "UI");
    fs::create_directories(outer / "TEMPLATE" / "Fine");
    std::ofstream(outer / "TEMPLATE" / "Fine" / "t.otp") << "kept";
    PackScene::Outcome around =
        scene.Run({"--force", (outer / "TEMPLATE").string(), outer.string()});
    EXPECT_EQ(around.exitCode, 1);
    EXPECT_NE(around.err.find("DEST and SOURCE must lie apart"), std::string::npos) << around.err;
    EXPECT_EQ(ReadAll(outer / "TEMPLATE" / "Fine" / "t.otp"), "kept");
}

TEST_F(Refused, ADestWhoseFolderIsMissingAndARegistryFolderThatIsMissing) {
    scene.Dummy("Fine", "t.otp");
    PackScene::Outcome const noParent =
        scene.Run({scene.Source().string(), (scene.Out() / "no" / "pack").string()});
    EXPECT_EQ(noParent.exitCode, 1);
    EXPECT_NE(noParent.err.find((scene.Out() / "no").string() + ": no such folder"),
              std::string::npos)
        << noParent.err;
    ExpectRefused(Run({"--registry", (scene.Out() / "none" / "x.reg").string()}),
                  (scene.Out() / "none").string() + ": no such folder for the registry file");
}

TEST_F(Refused, ADestThatCannotBeRecorded) {
    scene.Dummy("Fine", "t.otp");
    fs::path const odd = scene.Out() / "back\\slash";
    PackScene::Outcome const outcome = scene.Run({scene.Source().string(), odd.string()});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find(odd.string() +
                               ": cannot be recorded as the pack's folder: it holds a backslash"),
              std::string::npos)
        << outcome.err;
    EXPECT_TRUE(scene.NothingWritten());
}

} // namespace
} // namespace slidevane::test
