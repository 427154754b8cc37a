// slidevane3-check and the window agree on every picture: for each kind of file in place of the
// picture that start-up loads first, the checker calls it usable exactly when the window starts.
// Mode 000 is the case this settles on any machine: whether the file can be read depends on who
// runs the test (root reads it), and the checker, run by the same user, must see what the window
// sees.
#include "FaultBrowser.h"
#include "GifFile.h"
#include "ModalBoxWatcher.h"
#include "UserProgram.h"

#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace slidevane::test {
namespace {

namespace fs = std::filesystem;

struct Checked {
    int status = -1;
    std::string output;
};

Checked RunChecker(const FaultPack& pack) {
    UserProgram::Result const run =
        UserProgram::Run({SLIDEVANE3_CHECK},
                         UserEnvironment::FromSession().Set("SLIDEVANE3_REGISTRY",
                                                            pack.RegistryFile().toStdString()),
                         std::chrono::seconds(20));
    return {run.outcome.exited ? run.outcome.code : -1, run.output + run.errors};
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A 2 x 2 picture whose third code lies beyond the table: well formed blocks, codes no encoder
// writes.
QByteArray BadCodes() {
    return QByteArray("GIF89a\x02\x00\x02\x00\x80\x00\x00"
                      "\xff\x00\x00\x00\x00\xff"
                      ",\x00\x00\x00\x00\x02\x00\x02\x00\x00"
                      "\x02\x02\xcc\x53\x00;",
                      36);
}

struct Kind {
    const char* name;
    void (*make)(const FaultPack& pack, const fs::path& path);
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.name;
}

void Overwrite(const fs::path& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path.string()));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

const Kind Kinds[] = {
    {"Unchanged", [](const FaultPack&, const fs::path&) {}},
    {"Empty", [](const FaultPack&, const fs::path& path) { Overwrite(path, {}); }},
    {"Text", [](const FaultPack&, const fs::path& path) { Overwrite(path, "not a picture\n"); }},
    {"CutShort",
     [](const FaultPack&, const fs::path& path) {
         QByteArray const good = FileBytes(QString::fromStdString(path.string()));
         Overwrite(path, good.left(good.size() - 1));
     }},
    {"BadCodes", [](const FaultPack&, const fs::path& path) { Overwrite(path, BadCodes()); }},
    {"A4096Square",
     [](const FaultPack&, const fs::path& path) {
         GifFile::WriteSolid(QString::fromStdString(path.string()), 4096, 4096, Qt::darkRed);
     }},
    {"ClaimingA65535Screen",
     [](const FaultPack&, const fs::path& path) {
         GifFile::WriteClaimingSize(QString::fromStdString(path.string()), 65535, 65535);
     }},
    {"LargerThanTheCap",
     [](const FaultPack&, const fs::path& path) {
         // A whole picture, then zeros up to 40 MiB (sparse): over the cap whatever it holds.
         fs::resize_file(path, 40u << 20);
     }},
    {"Fifo",
     [](const FaultPack&, const fs::path& path) {
         fs::remove(path);
         ::mkfifo(path.c_str(), 0600);
     }},
    {"SymlinkToDevZero",
     [](const FaultPack&, const fs::path& path) {
         fs::remove(path);
         fs::create_symlink("/dev/zero", path);
     }},
    {"Folder",
     [](const FaultPack&, const fs::path& path) {
         fs::remove(path);
         fs::create_directory(path);
     }},
    {"SymlinkToProcessMemory",
     [](const FaultPack&, const fs::path& path) {
         fs::remove(path);
         fs::create_symlink("/proc/self/mem", path);
     }},
    {"ModeZero",
     [](const FaultPack&, const fs::path& path) { fs::permissions(path, fs::perms::none); }},
};

class CheckerAgreement : public testing::TestWithParam<Kind> {};

TEST_P(CheckerAgreement, TheCheckerCallsAPictureUsableExactlyWhenTheWindowShowsIt) {
    FaultPack pack;
    std::string const name = pack.StripName(2, 'c');
    GetParam().make(pack, pack.UiPath(name).toStdString());

    Checked const checked = RunChecker(pack);
    std::size_t const at = checked.output.find(name);
    ASSERT_NE(at, std::string::npos) << checked.output;
    std::size_t const lineStart = checked.output.rfind('\n', at) + 1;
    std::string const line =
        checked.output.substr(lineStart, checked.output.find('\n', at) - lineStart);
    bool const usable = line.rfind("    found", 0) == 0;

    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    bool const started = browser.Start();
    EXPECT_EQ(usable, started) << line;
    if (!started) {
        ASSERT_EQ(watcher.Seen().size(), 1u);
        EXPECT_EQ(watcher.Seen()[0].text.toStdString(),
                  "Run-time error '481':\n\nInvalid picture: " + pack.CataloguePath(name));
        EXPECT_NE(line.find("UNUSABLE"), std::string::npos) << line;
    }
    // The fault pack's templates are no presentations: the checker fails on them whatever the
    // picture is, and says so.
    EXPECT_EQ(checked.status, 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, CheckerAgreement, testing::ValuesIn(Kinds),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace slidevane::test
