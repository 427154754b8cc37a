// Something other than a regular file under a picture's name: a FIFO that nothing writes to, a
// symlink to a FIFO or to /dev/zero (endless), a folder, a socket. Each is an invalid picture at
// once, at start-up and under the pointer: the program never waits on it and never reads it
// without end. The same through the catalogue alone: a "PresentPath" that names a FIFO or a
// device and then holds a stored NUL ends every picture's path there.
#include "FaultBrowser.h"
#include "ModalBoxWatcher.h"
#include "Pointer.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;
using Shown = FaultBrowser::Shown;

// Frees a reader that waits on a FIFO: after a grace period it opens the FIFO for writing, which
// succeeds only while a reader holds it (or waits in its open), and closes it again. A program
// that waits is then let go, and the test fails on Rescued() instead of hanging.
class FifoRescue {
public:
    explicit FifoRescue(std::string path)
        : thread_([this, path = std::move(path)] {
              auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
              while (!done_ && std::chrono::steady_clock::now() < deadline) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
              while (!done_) {
                  int const fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                  if (fd >= 0) {
                      rescued_ = true;
                      ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~FifoRescue() {
        done_ = true;
        thread_.join();
    }
    FifoRescue(const FifoRescue&) = delete;
    FifoRescue& operator=(const FifoRescue&) = delete;

    bool Rescued() const { return rescued_; }

private:
    std::atomic<bool> done_{false};
    std::atomic<bool> rescued_{false};
    std::thread thread_;
};

// Caps this test process's address space a little above what it uses, so that a read without
// end fails fast (as an allocation failure) instead of taking the machine's memory.
class AddressSpaceCeiling {
public:
    AddressSpaceCeiling() {
        getrlimit(RLIMIT_AS, &saved_);
        rlimit capped = saved_;
        capped.rlim_cur = static_cast<rlim_t>(VirtualKiB() + 1024 * 1024) * 1024;
        setrlimit(RLIMIT_AS, &capped);
    }
    ~AddressSpaceCeiling() { setrlimit(RLIMIT_AS, &saved_); }
    AddressSpaceCeiling(const AddressSpaceCeiling&) = delete;
    AddressSpaceCeiling& operator=(const AddressSpaceCeiling&) = delete;

private:
    static long VirtualKiB() {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmSize:", 0) == 0) {
                return std::stol(line.substr(7));
            }
        }
        return 0;
    }

    rlimit saved_{};
};

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The few MiB the box and the window need; reading /dev/zero without end took GiB.
constexpr long ResidentAllowanceKiB = 64 * 1024;

void MakeFifo(const fs::path& path) {
    if (::mkfifo(path.c_str(), 0600) != 0) {
        throw std::runtime_error("cannot make a FIFO at " + path.string());
    }
}

// A listening socket's name stays in the folder after its descriptor is closed.
void MakeSocket(const fs::path& path) {
    int const fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string const name = path.string();
    if (name.size() >= sizeof address.sun_path) {
        ::close(fd);
        throw std::runtime_error("socket path too long: " + name);
    }
    name.copy(address.sun_path, sizeof address.sun_path - 1);
    bool const bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    if (!bound) {
        throw std::runtime_error("cannot bind " + name);
    }
}

struct Special {
    const char* name;
    // Puts the special file at `path` (the picture's place); `beside` is a scratch folder.
    void (*make)(const fs::path& path, const fs::path& beside);
};

void PrintTo(const Special& special, std::ostream* out) {
    *out << special.name;
}

const Special Specials[] = {
    {"Fifo", [](const fs::path& path, const fs::path&) { MakeFifo(path); }},
    {"SymlinkToAFifo",
     [](const fs::path& path, const fs::path& beside) {
         MakeFifo(beside / "fifo");
         fs::create_symlink(beside / "fifo", path);
     }},
    {"SymlinkToDevZero",
     [](const fs::path& path, const fs::path&) { fs::create_symlink("/dev/zero", path); }},
    {"Folder", [](const fs::path& path, const fs::path&) { fs::create_directory(path); }},
    {"Socket", [](const fs::path& path, const fs::path&) { MakeSocket(path); }},
};

std::string InvalidPicture(const std::string& path) {
    return "Run-time error '481':\n\nInvalid picture: " + path;
}

class SpecialPicture : public testing::TestWithParam<Special> {
protected:
    // Replaces the pack's picture `name` with the special file; every FIFO it made is watched.
    void Replace(const std::string& name) {
        fs::path const path = pack.UiPath(name).toStdString();
        fs::path const beside = pack.Root().toStdString();
        fs::remove(path);
        GetParam().make(path, beside);
        for (fs::path const& fifo : {path, beside / "fifo"}) {
            if (fs::is_fifo(fifo)) {
                rescues.push_back(std::make_unique<FifoRescue>(fifo.string()));
            }
        }
    }

    bool AnyRescued() const {
        return std::any_of(rescues.begin(), rescues.end(),
                           [](const auto& rescue) { return rescue->Rescued(); });
    }

    FaultPack pack;
    std::vector<std::unique_ptr<FifoRescue>> rescues;
};

TEST_P(SpecialPicture, AtStartUpIsAnInvalidPictureAtOnce) {
    std::string const name = pack.StripName(2, 'c');
    Replace(name);
    AddressSpaceCeiling ceiling;
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    long const before = PeakResidentKiB();
    EXPECT_FALSE(browser.Start());
    EXPECT_FALSE(AnyRescued()) << "the program waited on a FIFO";
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), InvalidPicture(pack.CataloguePath(name)));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
    EXPECT_LT(PeakResidentKiB() - before, ResidentAllowanceKiB);
}

TEST_P(SpecialPicture, UnderTheStripPointerIsAnInvalidPictureAtOnce) {
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    Shown const before = browser.Showing();
    std::string const name = pack.StripName(0, 'b');
    Replace(name);
    AddressSpaceCeiling ceiling;
    ModalBoxWatcher watcher;
    pointer.MoveTo(browser.Centre(Control::Button1));
    EXPECT_FALSE(AnyRescued()) << "the program waited on a FIFO";
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), InvalidPicture(pack.CataloguePath(name)));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_EQ(browser.Showing(), before);
}

INSTANTIATE_TEST_SUITE_P(Faults, SpecialPicture, testing::ValuesIn(Specials),
                         [](const auto& info) { return std::string(info.param.name); });

// The registry file's UTF-16LE text form, each character's two bytes as hex.
std::string Utf16Hex(const std::string& text) {
    std::string out = "hex(1):";
    char byte[4];
    for (char c : text) {
        std::snprintf(byte, sizeof byte, "%02x,", static_cast<unsigned char>(c));
        out += byte;
        out += "00,";
    }
    out.pop_back();
    return out;
}

// "PresentPath" names a FIFO or a device and then holds a NUL before its own terminator: the
// folders built on it end at that NUL, so every picture's path is the special file itself.
TEST(SpecialCatalogue, APresentPathEndingAtAFifoOrADeviceIsAnInvalidPictureAtOnce) {
    for (bool fifo : {true, false}) {
        FaultPack pack;
        std::string const target =
            fifo ? (pack.Root() + QStringLiteral("/install")).toStdString() : "/dev/zero";
        std::unique_ptr<FifoRescue> rescue;
        if (fifo) {
            MakeFifo(target);
            rescue = std::make_unique<FifoRescue>(target);
        }
        pack.SetValue("", "PresentPath", Utf16Hex(target + std::string(2, '\0')));
        pack.WriteRegistry();
        AddressSpaceCeiling ceiling;
        FaultBrowser browser(pack);
        ModalBoxWatcher watcher;
        long const before = PeakResidentKiB();
        EXPECT_FALSE(browser.Start());
        if (rescue) {
            EXPECT_FALSE(rescue->Rescued()) << "the program waited on a FIFO";
        }
        ASSERT_EQ(watcher.Seen().size(), 1u) << target;
        EXPECT_EQ(watcher.Seen()[0].text.toStdString(), InvalidPicture(target));
        EXPECT_EQ(browser.dialog.QuitStatus(), 1);
        EXPECT_LT(PeakResidentKiB() - before, ResidentAllowanceKiB);
    }
}

} // namespace
} // namespace slidevane::test
