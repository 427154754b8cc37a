// slidevane3-check run as a program on real pack trees: real GIF pictures and real templates
// (the sample pack's, and two that PowerPoint itself wrote where they are available), then the
// files the program cannot use in their place, each named with the reason.
#include "UserProgram.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string output;
};

Outcome RunCheck(const std::string& registry) {
    // A checker that waits on a FIFO is killed when its time is up and fails with status -1.
    slidevane::test::UserProgram::Result const run = slidevane::test::UserProgram::Run(
        {SLIDEVANE3_CHECK},
        slidevane::test::UserEnvironment::FromSession().Set("SLIDEVANE3_REGISTRY", registry),
        std::chrono::seconds(20));
    return {run.outcome.exited ? run.outcome.code : -1, run.output + run.errors};
}

// The line of the report that names `label`, or "" when there is none.
std::string LineOf(const std::string& output, const std::string& label) {
    std::size_t const at = output.find(label);
    if (at == std::string::npos) {
        return "";
    }
    std::size_t const start = output.rfind('\n', at) + 1;
    return output.substr(start, output.find('\n', at) - start);
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A ZIP archive of stored entries, enough for the checker's look at packages.
std::string Zip(const std::vector<std::pair<std::string, std::string>>& entries) {
    auto word = [](std::string& out, unsigned value) {
        out += static_cast<char>(value & 0xff);
        out += static_cast<char>((value >> 8) & 0xff);
    };
    auto dword = [&](std::string& out, unsigned value) {
        word(out, value & 0xffff);
        word(out, value >> 16);
    };
    std::string body, directory;
    for (auto const& [name, data] : entries) {
        unsigned const offset = static_cast<unsigned>(body.size());
        body += "PK\x03\x04";
        word(body, 10), word(body, 0), word(body, 0), word(body, 0), word(body, 0);
        dword(body, 0), dword(body, static_cast<unsigned>(data.size()));
        dword(body, static_cast<unsigned>(data.size()));
        word(body, static_cast<unsigned>(name.size())), word(body, 0);
        body += name + data;
        directory += "PK\x01\x02";
        word(directory, 20), word(directory, 10), word(directory, 0), word(directory, 0);
        word(directory, 0), word(directory, 0), dword(directory, 0);
        dword(directory, static_cast<unsigned>(data.size()));
        dword(directory, static_cast<unsigned>(data.size()));
        word(directory, static_cast<unsigned>(name.size()));
        word(directory, 0), word(directory, 0), word(directory, 0), word(directory, 0);
        dword(directory, 0), dword(directory, offset);
        directory += name;
    }
    std::string end = "PK\x05\x06";
    word(end, 0), word(end, 0);
    word(end, static_cast<unsigned>(entries.size())),
        word(end, static_cast<unsigned>(entries.size()));
    dword(end, static_cast<unsigned>(directory.size())),
        dword(end, static_cast<unsigned>(body.size()));
    word(end, 0);
    return body + directory + end;
}

// A complete little pack on disk: ten categories with titles, their templates and every picture
// the program can load, and a registry file describing it. Pictures are a real GIF of the sample
// pack; templates are the sample pack's ODF and OLE templates and, where the files that
// PowerPoint wrote are at hand, those (OLE and OOXML).
class PackCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        pack = fs::temp_directory_path() /
               ("slidevane3-check-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(pack);
        fs::create_directories(pack / "UI");
        fs::create_directories(pack / "TEMPLATE");
        fs::path const sample = SLIDEVANE3_SAMPLE_PACK;
        fs::path const real = SLIDEVANE3_REAL_TEMPLATES;
        for (int c = 0; c < 10; ++c) {
            std::string const title = Title(c);
            for (char look : {'a', 'b', 'c'}) {
                Copy(sample / "UI/www-1.gif", "UI/b_" + title + "-" + look + ".gif");
                for (int n = 4; n <= 6; ++n) {
                    Copy(sample / "UI/www-2.gif",
                         "UI/p_" + title + "-" + look + std::to_string(n) + ".gif");
                }
            }
            for (int n = 1; n <= 3; ++n) {
                Copy(sample / "TEMPLATE/celebration1.otp", "TEMPLATE/" + TemplateName(c, n));
            }
        }
        Copy(sample / "UI/www-1.gif", "UI/www-1.gif");
        Copy(sample / "UI/www-2.gif", "UI/www-2.gif");
        Copy(fs::exists(real / "slide-masters.pot") ? real / "slide-masters.pot"
                                                    : sample / "TEMPLATE/report1.pot",
             "TEMPLATE/" + TemplateName(3, 1));
        if (fs::exists(real / "screenshot-deck.potx")) {
            Copy(real / "screenshot-deck.potx", "TEMPLATE/" + TemplateName(5, 1));
        }
    }

    void TearDown() override {
        fs::permissions(pack, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(pack);
    }

    static std::string Title(int c) { return c == 4 ? "Annual Report" : "Cat" + std::to_string(c); }
    static std::string TemplateName(int c, int n) {
        return "t" + std::to_string(c) + std::to_string(n) + (c == 3 && n == 1 ? ".pot" : ".otp");
    }

    void Copy(const fs::path& from, const std::string& name) {
        fs::copy_file(from, pack / name, fs::copy_options::overwrite_existing);
    }
    // Puts `bytes` in place of the file `name`, whatever is there.
    void Replace(const std::string& name, const std::string& bytes) {
        fs::remove_all(pack / name);
        std::ofstream(pack / name, std::ios::binary) << bytes;
    }
    fs::path Emptied(const std::string& name) {
        fs::remove_all(pack / name);
        return pack / name;
    }

    // The registry file; `skip` drops lines containing it.
    std::string Registry(const std::string& skip = "\x01") {
        std::string text =
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0]\r\n"
            "\"PresentPath\"=\"" +
            pack.string() +
            "\"\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0\\INDEX]\r\n";
        for (int c = 0; c < 10; ++c) {
            text += "\"" + std::to_string(c) + "\"=\"" + Title(c) + "\"\r\n";
        }
        for (int c = 0; c < 10; ++c) {
            text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0\\TEMPLATE\\" +
                    std::to_string(c) + "]\r\n";
            for (int n = 1; n <= (c == 2 ? 1 : 3); ++n) {
                text += "\"" + std::to_string(n) + "\"=\"" + TemplateName(c, n) + "\"\r\n";
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
        fs::path const file = fs::temp_directory_path() / (pack.filename().string() + ".reg");
        std::ofstream(file, std::ios::binary) << kept;
        registryFile = file;
        return file.string();
    }

    fs::path pack;
    fs::path registryFile;

    ~PackCheckTest() override {
        if (!registryFile.empty()) {
            fs::remove(registryFile);
        }
    }
};

TEST_F(PackCheckTest, CompletePackListsEverythingAndExitsZero) {
    Outcome const outcome = RunCheck(Registry());
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("UI folder:       " + pack.string() + "\\UI\\"),
              std::string::npos);
    EXPECT_NE(outcome.output.find("  4  Annual Report"), std::string::npos);
    EXPECT_NE(outcome.output.find("b_Annual Report-b.gif"), std::string::npos);
    // Category 2 holds one template: its -b pictures 5 and 6 are not needed and not listed.
    EXPECT_EQ(outcome.output.find("p_Cat2-b5.gif"), std::string::npos);
    EXPECT_NE(outcome.output.find("p_Cat2-b4.gif"), std::string::npos);
    EXPECT_NE(outcome.output.find("absent from the catalogue"), std::string::npos);
    EXPECT_NE(LineOf(outcome.output, "t01.otp").find("ODF presentation template"),
              std::string::npos);
    EXPECT_NE(LineOf(outcome.output, "t31.pot").find("OLE compound file"), std::string::npos);
    if (fs::exists(fs::path(SLIDEVANE3_REAL_TEMPLATES) / "screenshot-deck.potx")) {
        EXPECT_NE(LineOf(outcome.output, "t51.otp").find("OOXML package"), std::string::npos);
    }
    EXPECT_NE(outcome.output.find("28 templates, 0 missing, 0 unusable."), std::string::npos)
        << outcome.output;
    EXPECT_NE(outcome.output.find("120 pictures, 0 missing, 0 unusable."), std::string::npos);
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
    EXPECT_NE(outcome.output.find("120 pictures, 1 missing, 0 unusable."), std::string::npos);

    outcome = RunCheck(Registry("\"6\"=\"Cat6\""));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("6  title unreadable: error 17"), std::string::npos)
        << outcome.output;

    fs::rename(pack / "UI", pack / "Pictures");
    outcome = RunCheck(Registry());
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("MISSING (folder not found)  www-1.gif"), std::string::npos);
}

// Every kind of picture file the program cannot use, each in place of one picture.
TEST_F(PackCheckTest, PicturesTheProgramCannotUseAreNamedWithTheReason) {
    std::string const gif = Read(pack / "UI/www-1.gif");
    Replace("UI/b_Cat0-a.gif", "");
    fs::create_directory(Emptied("UI/b_Cat0-b.gif"));
    ASSERT_EQ(::mkfifo(Emptied("UI/b_Cat0-c.gif").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", Emptied("UI/b_Cat1-a.gif"));
    fs::create_symlink("/proc/self/mem", Emptied("UI/b_Cat1-b.gif"));
    Replace("UI/b_Cat1-c.gif", "This is not a picture.\n");
    Replace("UI/p_Cat3-a4.gif", gif.substr(0, gif.size() - 1));
    Replace("UI/p_Cat3-a5.gif", gif.substr(0, 6) + std::string("\x01\x10\x01\x10", 4) +
                                    gif.substr(10)); // a 4097 x 4097 screen
    std::size_t const table = (gif[10] & 0x80) != 0 ? 3u << ((gif[10] & 7) + 1) : 0;
    Replace("UI/p_Cat3-a6.gif", gif.substr(0, 13 + table) + ";"); // the trailer after the table
    // A sparse file past the cap: a GIF's header, then nothing but zeros up to 40 MiB.
    Replace("UI/p_Cat3-b4.gif", gif.substr(0, 13));
    fs::resize_file(pack / "UI/p_Cat3-b4.gif", 40u << 20);
    int const socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    Emptied("UI/www-2.gif").string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(socketFd);

    Outcome const outcome = RunCheck(Registry());
    EXPECT_EQ(outcome.status, 1) << outcome.output;
    auto reason = [&](const std::string& name) {
        std::string const line = LineOf(outcome.output, name + ": ");
        EXPECT_EQ(line.rfind("    UNUSABLE", 0), 0u) << line;
        std::size_t const from = line.find(": ") + 2;
        return line.substr(from, line.rfind("  (") - from);
    };
    EXPECT_EQ(reason("b_Cat0-a.gif"), "empty");
    EXPECT_EQ(reason("b_Cat0-b.gif"), "not a regular file (a folder)");
    EXPECT_EQ(reason("b_Cat0-c.gif"), "not a regular file (a FIFO)");
    EXPECT_EQ(reason("b_Cat1-a.gif"), "not a regular file (a character device)");
    EXPECT_EQ(reason("b_Cat1-b.gif"), "cannot be read: Input/output error");
    EXPECT_EQ(reason("b_Cat1-c.gif"), "not a GIF picture");
    EXPECT_EQ(reason("p_Cat3-a4.gif"), "truncated GIF");
    EXPECT_EQ(reason("p_Cat3-a5.gif"), "GIF larger than 4096 x 4096 pixels");
    EXPECT_EQ(reason("p_Cat3-a6.gif"), "GIF without a picture");
    EXPECT_EQ(reason("p_Cat3-b4.gif"), "larger than the 32 MiB a picture file may be");
    EXPECT_EQ(reason("www-2.gif"), "not a regular file (a socket)");
    EXPECT_NE(outcome.output.find("120 pictures, 0 missing, 11 unusable."), std::string::npos);
}

// Mode 000: what matters is whether this user can read the file, as the program would. Root can,
// and then the file is as usable to the program as any other.
TEST_F(PackCheckTest, AFileThatCannotBeOpenedIsUnusableUnlessThisUserMayReadIt) {
    fs::path const picture = pack / "UI/b_Cat5-b.gif";
    fs::path const design = pack / "TEMPLATE/t52.otp";
    fs::permissions(picture, fs::perms::none);
    fs::permissions(design, fs::perms::none);
    bool const readable = ::access(picture.c_str(), R_OK) == 0;
    Outcome const outcome = RunCheck(Registry());
    if (readable) {
        EXPECT_EQ(outcome.status, 0) << outcome.output;
        EXPECT_EQ(LineOf(outcome.output, "b_Cat5-b.gif").rfind("    found", 0), 0u);
        EXPECT_EQ(LineOf(outcome.output, "t52.otp").rfind("    found", 0), 0u);
    } else {
        EXPECT_EQ(outcome.status, 1) << outcome.output;
        EXPECT_NE(LineOf(outcome.output, "b_Cat5-b.gif: cannot be read: Permission denied"), "");
        EXPECT_NE(LineOf(outcome.output, "t52.otp: cannot be read: Permission denied"), "");
    }
}

TEST_F(PackCheckTest, TemplatesTheOfficeCannotOpenAreNamedWithTheReason) {
    Replace("TEMPLATE/t01.otp", "");
    Replace("TEMPLATE/t02.otp", "template\n");
    fs::create_directory(Emptied("TEMPLATE/t03.otp"));
    ASSERT_EQ(::mkfifo(Emptied("TEMPLATE/t11.otp").c_str(), 0600), 0);
    Replace("TEMPLATE/t12.otp", Zip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                                     {"content.xml", "<x/>"}}));
    Replace("TEMPLATE/t13.otp", Zip({{"readme.txt", "hello"}}));
    // Still packages the office opens: an ODF manifest without the mimetype entry first, and a
    // package that names its content types.
    Replace("TEMPLATE/t41.otp", Zip({{"content.xml", "<x/>"}, {"META-INF/manifest.xml", "<m/>"}}));
    Replace("TEMPLATE/t42.otp",
            Zip({{"ppt/presentation.xml", "<p/>"}, {"[Content_Types].xml", "<t/>"}}));
    std::string const otp = Read(pack / "TEMPLATE/t43.otp");
    Replace("TEMPLATE/t43.otp", otp.substr(0, otp.size() - 30)); // its directory cut short

    Outcome const outcome = RunCheck(Registry());
    EXPECT_EQ(outcome.status, 1) << outcome.output;
    auto line = [&](const std::string& name) { return LineOf(outcome.output, name); };
    EXPECT_NE(line("t01.otp: empty"), "");
    EXPECT_NE(line("t02.otp: not a presentation file"), "");
    EXPECT_NE(line("t03.otp: not a regular file (a folder)"), "");
    EXPECT_NE(line("t11.otp: not a regular file (a FIFO)"), "");
    EXPECT_NE(line("t12.otp: not a presentation file (an ODF package of type "
                   "application/vnd.oasis.opendocument.text)"),
              "");
    EXPECT_NE(line("t13.otp: not a presentation file (a ZIP archive"), "");
    EXPECT_EQ(line("t41.otp").rfind("    found", 0), 0u) << line("t41.otp");
    EXPECT_NE(line("t41.otp").find("ODF package"), std::string::npos);
    EXPECT_NE(line("t42.otp").find("OOXML package"), std::string::npos);
    EXPECT_NE(line("t43.otp: damaged ZIP archive"), "");
    EXPECT_NE(outcome.output.find("28 templates, 0 missing, 7 unusable."), std::string::npos);
}

// "PresentPath" naming a FIFO and then a stored NUL: every folder built on it ends at the FIFO.
TEST_F(PackCheckTest, AnInstallFolderThatEndsAtAFifoMakesEveryFileUnusableAtOnce) {
    fs::path const fifo = pack / "install";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string data = "hex(1):";
    for (char c : fifo.string() + std::string(2, '\0')) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "%02x,00,", static_cast<unsigned char>(c));
        data += byte;
    }
    data.pop_back();
    std::string const registry = Registry();
    std::string text = Read(registry);
    std::size_t const at = text.find("\"PresentPath\"=");
    text.replace(at, text.find('\r', at) - at, "\"PresentPath\"=" + data);
    std::ofstream(registry, std::ios::binary) << text;

    Outcome const outcome = RunCheck(registry);
    EXPECT_EQ(outcome.status, 1) << outcome.output;
    EXPECT_NE(LineOf(outcome.output, "www-1.gif: not a regular file (a FIFO)"), "")
        << outcome.output;
    EXPECT_NE(LineOf(outcome.output, "t01.otp: not a regular file (a FIFO)"), "");
    EXPECT_NE(outcome.output.find("120 pictures, 0 missing, 120 unusable."), std::string::npos);
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
