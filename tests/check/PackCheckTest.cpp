#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string output;
};

Outcome RunCheck(const std::string& registry) {
    std::string const command =
        "SLIDEVANE3_REGISTRY='" + registry + "' '" SLIDEVANE3_CHECK "' 2>&1";
    Outcome outcome{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return outcome;
    }
    std::array<char, 4096> buffer;
    while (std::size_t const read = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
        outcome.output.append(buffer.data(), read);
    }
    int const raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

// A complete little pack on disk: two categories with titles, their templates and every picture
// the program can load for all ten categories, and a registry file describing it.
class PackCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        pack = fs::temp_directory_path() /
               ("slidevane3-check-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(pack);
        fs::create_directories(pack / "UI");
        fs::create_directories(pack / "TEMPLATE");
        for (int c = 0; c < 10; ++c) {
            std::string const title = Title(c);
            for (char look : {'a', 'b', 'c'}) {
                Touch("UI/b_" + title + "-" + look + ".gif");
                for (int n = 4; n <= 6; ++n) {
                    Touch("UI/p_" + title + "-" + look + std::to_string(n) + ".gif");
                }
            }
            for (int n = 1; n <= 3; ++n) {
                Touch("TEMPLATE/t" + std::to_string(c) + std::to_string(n) + ".otp");
            }
        }
        Touch("UI/www-1.gif");
        Touch("UI/www-2.gif");
    }

    void TearDown() override { fs::remove_all(pack); }

    static std::string Title(int c) { return c == 4 ? "Annual Report" : "Cat" + std::to_string(c); }

    void Touch(const std::string& name) { std::ofstream(pack / name) << "x"; }

    // The registry file; `skip` drops lines containing it.
    std::string Registry(const std::string& skip = "\x01") {
        std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0]\r\n"
                           "\"PresentPath\"=\"" + pack.string() + "\"\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0\\INDEX]\r\n";
        for (int c = 0; c < 10; ++c) {
            text += "\"" + std::to_string(c) + "\"=\"" + Title(c) + "\"\r\n";
        }
        for (int c = 0; c < 10; ++c) {
            text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0\\TEMPLATE\\" +
                    std::to_string(c) + "]\r\n";
            for (int n = 1; n <= (c == 2 ? 1 : 3); ++n) {
                text += "\"" + std::to_string(n) + "\"=\"t" + std::to_string(c) +
                        std::to_string(n) + ".otp\"\r\n";
            }
        }
        std::string kept;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t const end = text.find('\n', start);
            std::string const line = text.substr(start, end - start + 1);
            if (line.find(skip) == std::string::npos) {
                kept += line;
            }
            start = end + 1;
        }
        fs::path const file = pack / "pack.reg";
        std::ofstream(file, std::ios::binary) << kept;
        return file.string();
    }

    fs::path pack;
};

TEST_F(PackCheckTest, CompletePackListsEverythingAndExitsZero) {
    Outcome const outcome = RunCheck(Registry());
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("UI folder:       " + pack.string() + "\\UI\\"), std::string::npos);
    EXPECT_NE(outcome.output.find("  4  Annual Report"), std::string::npos);
    EXPECT_NE(outcome.output.find("b_Annual Report-b.gif"), std::string::npos);
    // Category 2 holds one template: its -b pictures 5 and 6 are not needed and not listed.
    EXPECT_EQ(outcome.output.find("p_Cat2-b5.gif"), std::string::npos);
    EXPECT_NE(outcome.output.find("p_Cat2-b4.gif"), std::string::npos);
    EXPECT_NE(outcome.output.find("absent from the catalogue"), std::string::npos);
    EXPECT_NE(outcome.output.find("120 pictures, 0 missing."), std::string::npos) << outcome.output;
}

TEST_F(PackCheckTest, EachKindOfFaultIsNamedWithStatusOne) {
    fs::remove(pack / "UI" / "p_Cat7-c5.gif");
    fs::remove(pack / "TEMPLATE" / "t93.otp");
    Outcome outcome = RunCheck(Registry());
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("MISSING (file not found)    p_Cat7-c5.gif"), std::string::npos)
        << outcome.output;
    EXPECT_NE(outcome.output.find("MISSING (file not found)    template 3: t93.otp"),
              std::string::npos);
    EXPECT_NE(outcome.output.find("120 pictures, 1 missing."), std::string::npos);

    outcome = RunCheck(Registry("\"6\"=\"Cat6\""));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("6  title unreadable: error 17"), std::string::npos)
        << outcome.output;

    fs::rename(pack / "UI", pack / "Pictures");
    outcome = RunCheck(Registry());
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("MISSING (folder not found)  www-1.gif"), std::string::npos);
}

TEST_F(PackCheckTest, UnreadableCatalogueExitsTwoNamingTheError) {
    Outcome const outcome = RunCheck(Registry("PresentPath"));
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.output.find("error 17: Can't perform requested operation"), std::string::npos)
        << outcome.output;
}

TEST(SamplePackCheckTest, BundledSamplePackIsComplete) {
    Outcome const outcome = RunCheck(SLIDEVANE3_SAMPLE_REGISTRY);
    EXPECT_EQ(outcome.status, 0) << outcome.output;
}

} // namespace
