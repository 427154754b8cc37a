// Opening a file the way pictures and templates are opened: only regular files, never waited on,
// never read past the cap.
#include "adapters/posix/RegularFile.h"

#include "TempFolder.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace slidevane {
namespace {

using test::TempFolder;
using Status = RegularFile::Status;
namespace fs = std::filesystem;

class RegularFileTest : public ::testing::Test {
protected:
    TempFolder temp;
};

TEST_F(RegularFileTest, OnlyARegularFileOpensAndNothingElseIsWaitedOn) {
    // A FIFO with no writer would hold a blocking open for ever; a test that hangs here fails
    // by its timeout.
    std::string const fifo = temp / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string const socketPath = temp / "socket";
    int const server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink("/dev/zero", temp / "zero.gif");
    fs::create_symlink("fifo", temp / "fifo.gif");
    temp.makeFolder("folder.gif");

    struct Case {
        std::string name;
        std::string problem;
    };
    for (Case const& c : {Case{"fifo", "not a regular file (a FIFO)"},
                          Case{"fifo.gif", "not a regular file (a FIFO)"},
                          Case{"zero.gif", "not a regular file (a character device)"},
                          Case{"socket", "not a regular file (a socket)"},
                          Case{"folder.gif", "not a regular file (a folder)"}}) {
        RegularFile file(temp / c.name);
        EXPECT_EQ(file.status(), Status::NotRegular) << c.name;
        EXPECT_EQ(file.problem(), c.problem);
        std::string bytes = "left over";
        EXPECT_FALSE(file.readAll(1024, bytes));
        EXPECT_TRUE(bytes.empty());
    }
    ::close(server);

    RegularFile missing(temp / "missing.gif");
    EXPECT_EQ(missing.status(), Status::Missing);
    RegularFile underAFile(temp.write("plain", "x") + "/inside.gif");
    EXPECT_EQ(underAFile.status(), Status::Missing);
}

TEST_F(RegularFileTest, ReadsAreCappedWhateverStatSays) {
    std::string const path = temp.write("picture.gif", std::string(5000, 'p'));
    std::string bytes;
    {
        RegularFile file(path);
        ASSERT_EQ(file.status(), Status::Open);
        EXPECT_EQ(file.size(), 5000u);
        EXPECT_TRUE(file.readAll(5000, bytes));
        EXPECT_EQ(bytes, std::string(5000, 'p'));
    }
    {
        RegularFile file(path);
        EXPECT_FALSE(file.readAll(4999, bytes));
        EXPECT_EQ(file.status(), Status::TooLarge);
        EXPECT_EQ(file.problem(), "too large");
        EXPECT_TRUE(bytes.empty());
    }
    {
        // A regular file that stat calls empty but that is not: read until its end.
        RegularFile file("/proc/self/status");
        ASSERT_EQ(file.status(), Status::Open);
        EXPECT_EQ(file.size(), 0u);
        EXPECT_TRUE(file.readAll(1 << 20, bytes));
        EXPECT_NE(bytes.find("VmHWM:"), std::string::npos);
    }
    {
        RegularFile file(path);
        EXPECT_TRUE(file.readAt(4990, 100, bytes));
        EXPECT_EQ(bytes, std::string(10, 'p'));
    }
}

TEST_F(RegularFileTest, AFileThatCannotBeReadSaysWhy) {
    // Read as root too: a regular file whose reads fail. Reading this process's memory from
    // address 0 is an I/O error.
    fs::create_symlink("/proc/self/mem", temp / "memory.gif");
    RegularFile memory(temp / "memory.gif");
    ASSERT_EQ(memory.status(), Status::Open);
    std::string bytes;
    EXPECT_FALSE(memory.readAll(1024, bytes));
    EXPECT_EQ(memory.status(), Status::Unreadable);
    EXPECT_EQ(memory.problem(), "cannot be read: Input/output error");

    // Mode 000: refused unless this process may read anything (root), and then read like any
    // other file.
    std::string const locked = temp.write("locked.gif", "GIF89a");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    bool const mayReadAnything = ::access(locked.c_str(), R_OK) == 0;
    RegularFile file(locked);
    if (mayReadAnything) {
        EXPECT_EQ(file.status(), Status::Open);
        EXPECT_TRUE(file.readAll(1024, bytes));
        EXPECT_EQ(bytes, "GIF89a");
    } else {
        EXPECT_EQ(file.status(), Status::Unreadable);
        EXPECT_EQ(file.error(), EACCES);
        EXPECT_EQ(file.problem(), "cannot be read: Permission denied");
    }
}

} // namespace
} // namespace slidevane
