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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <memory>

#if SLIDEVANE3_HAVE_UNO
#include "OfficeProfile.h"
#include "TemplateFixtures.h"
#include "TestOffice.h"

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#endif

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
    QString log;
    UserProgram process;

    TracedRun(const QString& folder, const QString& program, const QStringList& arguments,
              const UserEnvironment& environment)
        : log(folder + QStringLiteral("/../trace.log")),
          process(Line(SyscallTrace::TracerArguments(log) +
                       QStringList{QStringLiteral("--"), program} + arguments),
                  environment, {.workingDirectory = folder.toStdString(), .outputFolder = {}}) {}

    static std::vector<std::string> Line(const QStringList& arguments) {
        std::vector<std::string> line{"strace"};
        for (const QString& argument : arguments) {
            line.push_back(argument.toStdString());
        }
        return line;
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
                  UserEnvironment::FromSession());
    std::optional<UserProgram::Outcome> const ended = run.process.Wait(std::chrono::seconds(20));
    ASSERT_TRUE(ended && ended->Succeeded()) << run.process.Errors();
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

// The real program on a private X server under the tracer, with a private runtime folder, driven
// with xdotool at the designed places of its controls.
class TracedSession {
public:
    // False (with the reason in `why`) when the program did not come up.
    bool Start(const QString& registryFile, const std::map<std::string, std::string>& extra,
               std::string& why) {
        QDir const base(scratch_.path());
        if (!base.mkpath(QStringLiteral("work")) || !base.mkpath(QStringLiteral("runtime")) ||
            !QFile::setPermissions(Runtime(),
                                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
            !display_.Started()) {
            why = "no scratch folders or no display";
            return false;
        }
        UserEnvironment environment = display_.Environment();
        environment.Set("SLIDEVANE3_REGISTRY", registryFile.toStdString())
            .Set("XDG_RUNTIME_DIR", Runtime().toStdString())
            .Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + Runtime().toStdString() + "/bus");
        for (const auto& [name, value] : extra) {
            environment.Set(name, value);
        }
        run_ = std::make_unique<TracedRun>(Work(), QStringLiteral(SLIDEVANE3_PROGRAM),
                                           QStringList{}, environment);
        QString window;
        if (!WaitFor([&] {
                window = display_
                             .XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), QStringLiteral("^Slidevane$")})
                             .section('\n', 0, 0)
                             .trimmed();
                return !window.isEmpty();
            })) {
            why = "no window appeared; program said: " + run_->process.Errors();
            return false;
        }
        QString const geometry = display_.XDoTool(
            {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        auto value = [&](const char* key) {
            for (QString const& line : geometry.split('\n')) {
                if (line.startsWith(QLatin1String(key) + QLatin1Char('='))) {
                    return line.section('=', 1).toInt();
                }
            }
            return 0;
        };
        origin_ = QPoint(value("X"), value("Y"));
        return true;
    }

    QStringList At(Control control) const {
        QPoint const p = Centre(control);
        return {QString::number(p.x()), QString::number(p.y())};
    }
    QPoint Centre(Control control) const {
        return origin_ + layout_.Widget(control).geometry().center();
    }
    QPoint Origin() const { return origin_; }
    void Pointer(const QStringList& commands) const { display_.XDoTool(commands); }
    QImage Screenshot() const { return display_.Screenshot(); }

    // Closes the program from its glyph; false when it did not end normally with status 0.
    bool CloseFromGlyph(std::string& why) {
        Pointer(QStringList{QStringLiteral("mousemove")} + At(Control::Picture9) +
                QStringList{QStringLiteral("sleep"), QStringLiteral("0.05"),
                            QStringLiteral("click"), QStringLiteral("1")});
        std::optional<UserProgram::Outcome> const ended =
            run_->process.Wait(std::chrono::seconds(20));
        if (!ended) {
            why = "the close glyph did not end the program";
            return false;
        }
        why = ended->Describe() + "; program said: " + run_->process.Errors();
        return ended->Succeeded();
    }

    SyscallTrace Trace() const { return SyscallTrace::FromFile(run_->log); }
    QString Work() const { return scratch_.filePath(QStringLiteral("work")); }
    QString Runtime() const { return scratch_.filePath(QStringLiteral("runtime")); }

private:
    QtWindow layout_; // the designed places of the controls
    QTemporaryDir scratch_;
    XvfbDisplay display_;
    std::unique_ptr<TracedRun> run_;
    QPoint origin_;
};

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// What the program changed, for the report; empty when it changed nothing.
void ExpectNoChanges(const SyscallTrace& trace) {
    std::vector<SyscallTrace::Call> const changes = trace.Changes();
    EXPECT_TRUE(changes.empty()) << "the program changed files:\n"
                                 << SyscallTrace::Describe(changes);
    // Checks that find what they look for already there (mkdir of an existing folder) change
    // nothing; they are listed for whoever reads the log.
    std::cout << "refused or no-op change attempts by the program:\n"
              << SyscallTrace::Describe(trace.RefusedChanges());
}

TEST(NoWrite, TheProgramWritesNothingThroughAWholeSession) {
    if (!TracerInstalled() || !XvfbDisplay::Available()) {
        GTEST_SKIP() << "strace, Xvfb, xdotool or ImageMagick's import is not installed";
    }
    FixturePack pack;
    QString const packRoot = QFileInfo(pack.RegistryFile()).path(); // the pack and its record
    QStringList const packBefore = Listing(packRoot);
    TracedSession session;
    std::string why;
    ASSERT_TRUE(session.Start(pack.RegistryFile(), {}, why)) << why;

    auto shows = [&](Control control, const QString& file) {
        QRgb const colour = pack.ColourOf(file).rgb();
        return WaitFor([&] {
            return session.Screenshot().pixelColor(session.Centre(control)).rgb() == colour;
        });
    };
    QStringList const pause{QStringLiteral("sleep"), QStringLiteral("0.05")};
    QStringList const move{QStringLiteral("mousemove")};

    // Over the whole strip, the pane and the web button, then the background.
    QStringList hover;
    for (int k = 0; k <= 9; ++k) {
        hover << move << session.At(StripButton(k)) << pause;
    }
    for (Control control : {Control::Dis1BackGnd, Control::Dis2BackGnd, Control::Dis3BackGnd,
                            Control::MainDisBackGnd, Control::WWWBtn}) {
        hover << move << session.At(control) << pause;
    }
    hover << move
          << QStringList{QString::number(session.Origin().x() + 410),
                         QString::number(session.Origin().y() + 280)};
    session.Pointer(hover);
    // A click that selects category 4, then a press carried off its button.
    session.Pointer(move + session.At(Control::Button5) + pause +
                    QStringList{QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(shows(Control::Button5, FixturePack::StripName(4, 'c')))
        << "the click on a strip button did not reach the program";
    session.Pointer(move + session.At(Control::Button6) + pause +
                    QStringList{QStringLiteral("mousedown"), QStringLiteral("1")} + pause + move +
                    session.At(Control::Button8) + pause +
                    QStringList{QStringLiteral("mouseup"), QStringLiteral("1")});
    session.Pointer(move + session.At(Control::Dis3BackGnd));
    EXPECT_TRUE(shows(Control::MainDisBackGnd, FixturePack::PreviewName(4, 'c', 6)))
        << "the move onto the third thumbnail did not reach the program";

    ASSERT_TRUE(session.CloseFromGlyph(why)) << why;
    SyscallTrace const trace = session.Trace();
    ASSERT_FALSE(trace.Naming(FixturePack::StripName(4, 'c').toStdString()).empty())
        << "the log does not show the program loading the session's pictures";
    ExpectNoChanges(trace);
    EXPECT_EQ(Entries(session.Work()), QStringList{});
    EXPECT_EQ(Entries(session.Runtime()), QStringList{});
    EXPECT_EQ(Listing(packRoot), packBefore);
}

#if SLIDEVANE3_HAVE_UNO
// The double-click's whole conversation with a real office, for each kind of template: the
// office reads the template itself, and the program writes no file on the way.
TEST(NoWrite, TheProgramWritesNothingWhenItOpensTemplates) {
    namespace fs = std::filesystem;
    if (!TracerInstalled() || !XvfbDisplay::Available()) {
        GTEST_SKIP() << "strace, Xvfb, xdotool or ImageMagick's import is not installed";
    }
    QTemporaryDir officeFolder;
    fs::path const officeWork = fs::path(officeFolder.path().toStdString()) / "office";
    // The office on the profile the program is told to use, listening where the program looks
    // for that profile's office.
    std::string const profileUrl = testing::TestOffice::Url(officeWork / "profile");
    std::string const pipe =
        OfficeProfile::PipeName({"soffice", "-env:UserInstallation=" + profileUrl});
    auto office = testing::TestOffice::Start(officeWork, pipe);
    testing::TemplateFixtures const made =
        testing::TemplateFixtures::Make(office->Connection(), officeWork.parent_path() / "made");

    fs::path const real(SLIDEVANE3_REAL_TEMPLATES);
    auto realOr = [&](const char* name, const fs::path& otherwise) {
        return fs::exists(real / name) ? real / name : otherwise;
    };
    std::vector<fs::path> const templates{made.odfTemplate,
                                          realOr("slide-masters.pot", made.powerPoint97),
                                          realOr("screenshot-deck.potx", made.powerPoint2007)};
    FixturePack pack;
    int constexpr Current = 2; // the category current after start-up
    for (int number = 1; number <= 3; ++number) {
        pack.UseTemplate(Current, number, QString::fromStdString(templates[number - 1].string()));
    }
    QString const packRoot = QFileInfo(pack.RegistryFile()).path();
    QStringList const packBefore = Listing(packRoot);
    QStringList const realBefore = Listing(QString::fromStdString(real.string()));

    std::map<std::string, std::string> const profile{{"UserInstallation", profileUrl}};
    TracedSession session;
    std::string why;
    ASSERT_TRUE(session.Start(pack.RegistryFile(), profile, why)) << why;

    auto shownDocuments = [&] {
        int shown = 0;
        office->Connection().Call("count", [&] {
            css::uno::Reference<css::container::XEnumeration> const all =
                office->Connection().Desktop()->getComponents()->createEnumeration();
            while (all->hasMoreElements()) {
                css::uno::Reference<css::frame::XModel> const document(all->nextElement(),
                                                                       css::uno::UNO_QUERY);
                css::uno::Reference<css::frame::XController> const controller =
                    document.is() ? document->getCurrentController() : nullptr;
                if (controller.is() &&
                    css::uno::Reference<css::awt::XWindow2>(
                        controller->getFrame()->getContainerWindow(), css::uno::UNO_QUERY_THROW)
                        ->isVisible()) {
                    ++shown;
                }
            }
        });
        return shown;
    };
    int opened = 0;
    for (Control thumbnail : {Control::Dis1BackGnd, Control::Dis2BackGnd, Control::Dis3BackGnd}) {
        SCOPED_TRACE(templates[static_cast<std::size_t>(opened)].filename().string());
        session.Pointer(QStringList{QStringLiteral("mousemove")} + session.At(thumbnail) +
                        QStringList{QStringLiteral("sleep"), QStringLiteral("0.1"),
                                    QStringLiteral("click"), QStringLiteral("--repeat"),
                                    QStringLiteral("2"), QStringLiteral("--delay"),
                                    QStringLiteral("80"), QStringLiteral("1")});
        ++opened;
        EXPECT_TRUE(WaitFor([&] { return shownDocuments() == opened; }))
            << "no new presentation appeared in the office";
    }

    ASSERT_TRUE(session.CloseFromGlyph(why)) << why;
    SyscallTrace const trace = session.Trace();
    for (int number = 1; number <= 3; ++number) {
        std::string const name = pack.TemplateFileName(Current, number).toStdString();
        EXPECT_FALSE(trace.Naming(name).empty())
            << "the log does not show the program looking at " << name;
    }
    ExpectNoChanges(trace);
    EXPECT_EQ(Entries(session.Work()), QStringList{});
    EXPECT_EQ(Entries(session.Runtime()), QStringList{});
    EXPECT_EQ(Listing(packRoot), packBefore) << "something was written beside the pack";
    EXPECT_EQ(Listing(QString::fromStdString(real.string())), realBefore);
}
#endif

} // namespace
} // namespace slidevane::test
