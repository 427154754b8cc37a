// The program writes nothing: the real program runs under strace on a private X server, through
// start-up and a session of real pointer input, and closes from its glyph. Its own process (all
// of its threads) must not open a file for writing nor create, rename, remove or change one.
// Processes it starts are not the program and are not judged here.
//
// The session is a user's desktop session: XDG_RUNTIME_DIR names the user's private runtime
// folder, as the login manager always provides, and the session bus lives in it.
#include "FixturePack.h"
#include "SyscallTrace.h"
#include "XvfbDisplay.h"
#include "adapters/qt/QtWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

namespace slidevane::test {
namespace {

bool WaitFor(const std::function<bool()>& done) {
    return XvfbDisplay::WaitFor(done, 20000);
}

bool TracerInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty();
}

// Runs `program` with `arguments` under the tracer in `folder`; the log goes beside it.
struct TracedRun {
    QProcess process;
    QString log;

    TracedRun(const QString& folder, const QString& program, const QStringList& arguments,
              const QProcessEnvironment& environment) {
        log = folder + QStringLiteral("/../trace.log");
        process.setWorkingDirectory(folder);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral("strace"), SyscallTrace::TracerArguments(log) +
                                                    QStringList{QStringLiteral("--"), program} +
                                                    arguments);
    }
};

TEST(SyscallTraceReading, FollowsThreadsAcrossSplitCallsAndSetsChildProcessesApart) {
    // As strace logs a program whose thread starts a helper process, interleaved.
    SyscallTrace const trace(
        "100 execve(\"/usr/bin/program\", [\"program\"], 0x7ffd /* 3 vars */) = 0\n"
        "100 clone3({flags=CLONE_VM|CLONE_FS|CLONE_FILES|CLONE_SIGHAND|CLONE_THREAD|CLONE_SYSVSEM, "
        "child_tid=0x1} <unfinished ...>\n"
        "101 openat(AT_FDCWD, \"/home/u/notes.txt\", O_WRONLY|O_CREAT|O_TRUNC, 0666 "
        "<unfinished ...>\n"
        "100 <... clone3 resumed> => {parent_tid=[101]}, 88) = 101\n"
        "101 <... openat resumed>) = 7\n"
        "101 clone(child_stack=NULL, flags=CLONE_CHILD_CLEARTID|CLONE_CHILD_SETTID|SIGCHLD, "
        "child_tidptr=0x2) = 102\n"
        "102 openat(AT_FDCWD, \"/dev/null\", O_RDWR) = 3\n"
        "102 mkdir(\"/home/u/.helper\", 0700) = 0\n"
        "100 openat(AT_FDCWD, \"/dev/null\", O_RDWR) = 5\n"
        "100 openat(AT_FDCWD, \"/dev/shm/segment\", O_RDWR|O_CREAT, 0600) = 6\n"
        "100 openat(AT_FDCWD, \"/pack/UI/b_A-a.gif\", O_RDONLY|O_CLOEXEC) = 8\n"
        "100 mkdir(\"/run/user/1000\", 0700) = -1 EEXIST (File exists)\n"
        "101 +++ exited with 0 +++\n");
    EXPECT_EQ(trace.OwnTasks(), (std::set<int>{100, 101}));
    EXPECT_EQ(trace.ChildProcessCount(), 1);
    std::vector<SyscallTrace::Call> const changes = trace.Changes();
    ASSERT_EQ(changes.size(), 2u) << SyscallTrace::Describe(changes);
    EXPECT_EQ(changes[0].task, 101);
    EXPECT_NE(changes[0].text.find("/home/u/notes.txt"), std::string::npos);
    EXPECT_NE(changes[1].text.find("/dev/shm/segment"), std::string::npos);
    ASSERT_EQ(trace.RefusedChanges().size(), 1u);
    EXPECT_EQ(trace.RefusedChanges()[0].name, "mkdir");
}

TEST(NoWrite, TheTracerCatchesAWritingProgramButNotTheProcessesItStarts) {
    if (!TracerInstalled()) {
        GTEST_SKIP() << "strace is not installed";
    }
    QTemporaryDir scratch;
    ASSERT_TRUE(QDir(scratch.path()).mkpath(QStringLiteral("work")));
    QString const work = scratch.filePath(QStringLiteral("work"));
    TracedRun run(work, QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("echo own > own.txt; (touch by-child.txt); cat own.txt")},
                  QProcessEnvironment::systemEnvironment());
    ASSERT_TRUE(run.process.waitForFinished(20000));
    ASSERT_EQ(run.process.exitCode(), 0) << run.process.readAllStandardError().toStdString();
    ASSERT_TRUE(QFileInfo::exists(work + QStringLiteral("/by-child.txt")));

    SyscallTrace const trace = SyscallTrace::FromFile(run.log);
    std::vector<SyscallTrace::Call> const changes = trace.Changes();
    ASSERT_EQ(changes.size(), 1u) << SyscallTrace::Describe(changes);
    EXPECT_NE(changes[0].text.find("own.txt"), std::string::npos);
    // The program names the file only in the command line it was started with.
    for (SyscallTrace::Call const& call : trace.Naming("by-child.txt")) {
        EXPECT_EQ(call.name, "execve") << call.text;
    }
    EXPECT_GE(trace.ChildProcessCount(), 1);
}

// The folder's entries with their size and modification time, to see that nothing changed.
QStringList Listing(const QString& folder) {
    QStringList entries;
    QDir const dir(folder);
    for (QFileInfo const& entry : dir.entryInfoList(
             QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name)) {
        entries << QStringLiteral("%1 %2 %3")
                       .arg(entry.fileName())
                       .arg(entry.size())
                       .arg(entry.lastModified().toMSecsSinceEpoch());
        if (entry.isDir()) {
            entries << Listing(entry.filePath());
        }
    }
    return entries;
}

TEST(NoWrite, TheProgramWritesNothingThroughAWholeSession) {
    if (!TracerInstalled() || !XvfbDisplay::Available()) {
        GTEST_SKIP() << "strace, Xvfb, xdotool or ImageMagick's import is not installed";
    }
    QtWindow layout; // the designed places of the controls
    FixturePack pack;
    QString const packRoot = QFileInfo(pack.RegistryFile()).path(); // the pack and its record
    QStringList const packBefore = Listing(packRoot);
    QTemporaryDir scratch;
    QDir const base(scratch.path());
    ASSERT_TRUE(base.mkpath(QStringLiteral("work")) && base.mkpath(QStringLiteral("runtime")));
    QString const work = scratch.filePath(QStringLiteral("work"));
    QString const runtime = scratch.filePath(QStringLiteral("runtime"));
    ASSERT_TRUE(
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    XvfbDisplay display;
    ASSERT_TRUE(display.Started());
    QProcessEnvironment environment = display.Environment();
    environment.insert(QStringLiteral("SLIDEVANE3_REGISTRY"), pack.RegistryFile());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + runtime + QStringLiteral("/bus"));
    TracedRun run(work, QStringLiteral(SLIDEVANE3_PROGRAM), {}, environment);
    ASSERT_TRUE(run.process.waitForStarted(5000));

    QString window;
    ASSERT_TRUE(WaitFor([&] {
        window = display
                     .XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                               QStringLiteral("--name"), QStringLiteral("^Slidevane$")})
                     .section('\n', 0, 0)
                     .trimmed();
        return !window.isEmpty();
    })) << "no window appeared; program said: "
        << run.process.readAllStandardError().toStdString();
    QString const geometry =
        display.XDoTool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    auto value = [&](const char* key) {
        for (QString const& line : geometry.split('\n')) {
            if (line.startsWith(QLatin1String(key) + QLatin1Char('='))) {
                return line.section('=', 1).toInt();
            }
        }
        return 0;
    };
    QPoint const origin(value("X"), value("Y"));
    auto at = [&](Control control) {
        QPoint const p = origin + layout.Widget(control).geometry().center();
        return QStringList{QString::number(p.x()), QString::number(p.y())};
    };
    auto pointer = [&](const QStringList& commands) { display.XDoTool(commands); };
    auto shows = [&](Control control, const QString& file) {
        QPoint const p = origin + layout.Widget(control).geometry().center();
        QRgb const colour = pack.ColourOf(file).rgb();
        return WaitFor([&] { return display.Screenshot().pixelColor(p).rgb() == colour; });
    };
    QStringList const pause{QStringLiteral("sleep"), QStringLiteral("0.05")};
    QStringList const move{QStringLiteral("mousemove")};

    // Over the whole strip, the pane and the web button, then the background.
    QStringList hover;
    for (int k = 0; k <= 9; ++k) {
        hover << move << at(StripButton(k)) << pause;
    }
    for (Control control : {Control::Dis1BackGnd, Control::Dis2BackGnd, Control::Dis3BackGnd,
                            Control::MainDisBackGnd, Control::WWWBtn}) {
        hover << move << at(control) << pause;
    }
    hover << move
          << QStringList{QString::number(origin.x() + 410), QString::number(origin.y() + 280)};
    pointer(hover);
    // A click that selects category 4, then a press carried off its button.
    pointer(move + at(Control::Button5) + pause +
            QStringList{QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(shows(Control::Button5, FixturePack::StripName(4, 'c')))
        << "the click on a strip button did not reach the program";
    pointer(move + at(Control::Button6) + pause +
            QStringList{QStringLiteral("mousedown"), QStringLiteral("1")} + pause + move +
            at(Control::Button8) + pause +
            QStringList{QStringLiteral("mouseup"), QStringLiteral("1")});
    pointer(move + at(Control::Dis3BackGnd));
    EXPECT_TRUE(shows(Control::MainDisBackGnd, FixturePack::PreviewName(4, 'c', 6)))
        << "the move onto the third thumbnail did not reach the program";

    pointer(move + at(Control::Picture9) + pause +
            QStringList{QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(run.process.waitForFinished(20000)) << "the close glyph did not end the program";
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.process.exitCode(), 0) << run.process.readAllStandardError().toStdString();

    SyscallTrace const trace = SyscallTrace::FromFile(run.log);
    ASSERT_FALSE(trace.Naming(FixturePack::StripName(4, 'c').toStdString()).empty())
        << "the log does not show the program loading the session's pictures";
    std::vector<SyscallTrace::Call> const changes = trace.Changes();
    EXPECT_TRUE(changes.empty()) << "the program changed files:\n"
                                 << SyscallTrace::Describe(changes);
    // Checks that find what they look for already there (mkdir of an existing folder) change
    // nothing; they are listed for whoever reads the log.
    std::cout << "refused or no-op change attempts by the program:\n"
              << SyscallTrace::Describe(trace.RefusedChanges());
    EXPECT_EQ(QDir(work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{});
    EXPECT_EQ(QDir(runtime).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{});
    EXPECT_EQ(Listing(packRoot), packBefore);
}

} // namespace
} // namespace slidevane::test
